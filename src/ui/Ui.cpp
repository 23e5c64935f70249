#include "Ui.h"

#include "Log.h"
#include "MainWindow.h"
#include "Popup.h"
#include "TrayIcon.h"

namespace Ui {

Ui::Ui()
    : IUi(nullptr)
    , mainWindow(std::make_unique<MainWindow>(this))
    , popup(std::make_unique<Popup>(this, mainWindow.get()))
    , trayIcon(std::make_unique<TrayIcon>(this, this))
{
    qRegisterMetaType<PopupLink>("PopupLink");
    qRegisterMetaType<::Ui::State>("State");
    connect(this, &IUi::UpdateLocale, this, &Ui::PlacePopup);
    connect(trayIcon.get(), &TrayIcon::Clicked, this, &Ui::TrayIconClicked);
    connect(trayIcon.get(), &TrayIcon::OpenApplicationClicked, mainWindow.get(), &MainWindow::Show);
    connect(trayIcon.get(), &TrayIcon::SettingsClicked, mainWindow.get(), &MainWindow::ShowSettingsPage);
    connect(popup.get(), &Popup::LinkClicked, mainWindow.get(), [this](PopupLink link) { RelayPopupLink(link); });
}

Ui::~Ui() = default;

void Ui::Activate()
{
    LOG(Debug) << "Activating application";
    // A window hidden by a check keeps its minimized or maximized flag; for
    // it, as for a normal window, the popup is what a second start shows.
    const Qt::WindowStates windowState = mainWindow->windowState();
    if (mainWindow->isVisible() && windowState.testFlag(Qt::WindowMinimized)) {
        mainWindow->setWindowState(Qt::WindowActive);
        mainWindow->activateWindow();
    } else if (!mainWindow->isVisible() || !windowState.testFlag(Qt::WindowMaximized)) {
        popup->ShowAndActivate();
    }
}

void Ui::SetState(::Ui::State newState)
{
    if (newState != state) {
        LOG(Info) << "Changing state from: " << state << " to: " << newState;
        state = newState;
    }
    mainWindow->SetState(newState);
    trayIcon->SetState(newState);
    popup->SetState(newState);
    PlacePopup();
}

void Ui::UpdateUsbs()
{
    mainWindow->UpdateUsbs();
    popup->UpdateStatus();
    PlacePopup();
}

void Ui::ConfirmQuit()
{
    mainWindow->ShowQuitApplicationMessage();
}

void Ui::TrayIconClicked()
{
    if (popup->isVisible()) {
        LOG(Info) << "Hiding popup dialog";
        popup->hide();
    } else {
        LOG(Info) << "Showing popup dialog";
        popup->ShowAndActivate();
        PlacePopup();
    }
}

void Ui::PlacePopup()
{
    popup->SetGeometry(trayIcon->GetGeometry());
}

void Ui::RelayPopupLink(PopupLink link)
{
    if (link == PopupLink::Continue)
        SetState(state); // the popup catches up with the state the application has reached
    mainWindow->PopupClicked(link);
}

} // namespace Ui
