#include "StyleSheetForms.h"

#include "../widgets/SilentUi.h"
#include "Footer.h"
#include "MessageScreen.h"

#include <QListWidget>

// Add a row here for each form that loads a style sheet, e.g.
//   {":/styles/FooterWidget.qss", Make<Ui::Footer>},
// with the form's header included above.

namespace {

template <typename Form> std::unique_ptr<QWidget> Make()
{
    return std::make_unique<Form>();
}

} // namespace

const std::vector<StyleSheetForm>& StyleSheetForms()
{
    static const std::vector<StyleSheetForm> forms = {
        {":/styles/FooterWidget.qss", Make<Ui::Footer>},
        {":/styles/MessageScreenWidget.qss",
            [] {
                static auto* facade = new SilentUi; // outlives every page made here
                return std::make_unique<Ui::MessageScreen>(facade);
            }},
        {":/styles/UsbListWidget.qss", Make<QListWidget>}, // the footer's stick list
    };
    return forms;
}
