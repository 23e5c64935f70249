#include "StyleSheetForms.h"

#include "../widgets/SilentUi.h"
#include "SettingsScreen.h"
#include "TableRow.h"

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

std::unique_ptr<QWidget> MakeSettingsScreen()
{
    static SilentUi ui;
    return std::make_unique<Ui::SettingsScreen>(&ui);
}

} // namespace

const std::vector<StyleSheetForm>& StyleSheetForms()
{
    static const std::vector<StyleSheetForm> forms = {
        {":/styles/MapRowWidget.qss", MakeMapRow},
        {":/styles/SettingsScreenWidget.qss", MakeSettingsScreen},
    };
    return forms;
}
