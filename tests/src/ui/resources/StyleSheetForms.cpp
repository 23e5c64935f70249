#include "StyleSheetForms.h"

#include "../widgets/SilentUi.h"
#include "MainWindow.h"
#include "Popup.h"
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

std::unique_ptr<QWidget> MakePopup()
{
    static SilentUi ui;
    return std::make_unique<Ui::Popup>(&ui);
}

// The window with a list that holds a title, a message and a map row.
std::unique_ptr<QWidget> MakeMainWindow()
{
    static SilentUi ui;
    auto window = std::make_unique<Ui::MainWindow>(&ui);
    window->SetOptionalMap(MapInfo());
    return window;
}

} // namespace

const std::vector<StyleSheetForm>& StyleSheetForms()
{
    static const std::vector<StyleSheetForm> forms = {
        {":/styles/MapRowWidget.qss", MakeMapRow},
        {":/styles/SettingsScreenWidget.qss", MakeSettingsScreen},
        {":/styles/MainWindowDialog.qss", MakeMainWindow},
        {":/styles/HeaderWidget.qss", MakeMainWindow},
        {":/styles/TitleRowWidget.qss", MakeMainWindow},
        {":/styles/MessageRowWidget.qss", MakeMainWindow},
        {":/styles/PopupDialog.qss", MakePopup},
    };
    return forms;
}
