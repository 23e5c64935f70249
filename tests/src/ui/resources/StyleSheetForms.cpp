#include "StyleSheetForms.h"

#include "../widgets/SilentUi.h"
#include "Footer.h"
#include "MessageScreen.h"
#include "SettingsScreen.h"
#include "TableRow.h"

#include <QListWidget>

// Add a row here for each form that loads a style sheet, e.g.
//   {":/styles/FooterWidget.qss", Make<Ui::Footer>},
// with the form's header included above.

namespace {

template <typename Form> std::unique_ptr<QWidget> Make()
{
    return std::make_unique<Form>();
}

std::unique_ptr<QWidget> MakeMapRow()
{
    return std::make_unique<Ui::TableRow>(MapInfo());
}

// Pages that take the facade get one that outlives every page made here.
template <typename Page> std::unique_ptr<QWidget> MakePage()
{
    static SilentUi ui;
    return std::make_unique<Page>(&ui);
}

} // namespace

const std::vector<StyleSheetForm>& StyleSheetForms()
{
    static const std::vector<StyleSheetForm> forms = {
        {":/styles/FooterWidget.qss", Make<Ui::Footer>},
        {":/styles/MapRowWidget.qss", MakeMapRow},
        {":/styles/MessageScreenWidget.qss", MakePage<Ui::MessageScreen>},
        {":/styles/SettingsScreenWidget.qss", MakePage<Ui::SettingsScreen>},
        {":/styles/UsbListWidget.qss", Make<QListWidget>}, // the footer's stick list
    };
    return forms;
}
