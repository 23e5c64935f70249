#pragma once

#include "IUi.h"
#include "PopupLink.h"
#include "State.h"

#include <memory>

namespace Ui {

class MainWindow;
class Popup;
class TrayIcon;

// The user interface as the state machine sees it: owns the main window, the
// popup and the tray icon, forwards each state to all three, keeps the popup
// beside the tray icon and wires the tray icon's and the popup's actions to
// the main window. GUI thread only; every connection is direct.
class Ui : public IUi {
    Q_OBJECT

public:
    Ui();
    // Deletes the tray icon first, so the icon goes before the windows close.
    ~Ui() override;

public slots:
    void Activate() override;
    void SetState(::Ui::State newState) override;
    void UpdateUsbs() override;
    void ConfirmQuit() override;

private slots:
    void TrayIconClicked();

private:
    void PlacePopup();
    void RelayPopupLink(PopupLink link);

    // Declared in the order of construction; destroyed the other way round.
    std::unique_ptr<MainWindow> mainWindow;
    std::unique_ptr<Popup> popup; // a child window of the main window, deleted before it
    std::unique_ptr<TrayIcon> trayIcon; // a child of the facade, deleted before the rest
    ::Ui::State state = ::Ui::State::Unknown;
};

} // namespace Ui
