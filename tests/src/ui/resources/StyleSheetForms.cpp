#include "StyleSheetForms.h"

#include "../widgets/SilentUi.h"
#include "Footer.h"
#include "MainWindow.h"
#include "MessageScreen.h"
#include "Popup.h"
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
        {":/styles/MainWindowDialog.qss", MakeMainWindow},
        {":/styles/HeaderWidget.qss", MakeMainWindow},
        {":/styles/TitleRowWidget.qss", MakeMainWindow},
        {":/styles/MessageRowWidget.qss", MakeMainWindow},
        {":/styles/FooterWidget.qss", Make<Ui::Footer>},
        {":/styles/MapRowWidget.qss", MakeMapRow},
        {":/styles/MessageScreenWidget.qss", MakePage<Ui::MessageScreen>},
        {":/styles/SettingsScreenWidget.qss", MakePage<Ui::SettingsScreen>},
        {":/styles/UsbListWidget.qss", Make<QListWidget>}, // the footer's stick list
        {":/styles/PopupDialog.qss", MakePage<Ui::Popup>},
    };
    return forms;
}
