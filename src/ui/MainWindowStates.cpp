// The per-state table of the main window, its actions, and the choices that
// leave for the state machine (cancel, retry, the popup's links).
#include "MainWindow.h"

#include "Config.h"
#include "IUi.h"
#include "Log.h"
#include "MapStorage.h"
#include "SettingsScreen.h"

#include <QDesktopServices>
#include <QUrl>

namespace Ui {

namespace {

const char* const kDownloadingImage = ":/icons/notification-downloading.png";
const char* const kPendingImage = ":/icons/notification-pending.png";

const char* const kStickBusyTitle = QT_TRANSLATE_NOOP("global", "Accessing information on the USB stick");
const char* const kStickBusyText
    = QT_TRANSLATE_NOOP("global", "Please do not disconnect the USB stick from the computer");

struct Row {
    State state;
    const char* title;
    const char* text;
    const char* image;
    void (MainWindow::*action)();
    bool mapUpdatesEnabled;
    bool settingsEnabled;
};

} // namespace

void MainWindow::CreateStateData()
{
    using W = MainWindow;
    // The actions of NoConnection and ServerError set their own map updates flag.
    const Row rows[] = {
        {State::CancelDownload, kStickBusyTitle, kStickBusyText, kDownloadingImage, &W::ShowDeletingMap, true, false},
        {State::MandatoryUpdate, "", "", nullptr, &W::ShowMandatoryMap, true, true},
        {State::MapDownload, kStickBusyTitle, kStickBusyText, kDownloadingImage, &W::ShowDownloadingMap, true, false},
        {State::MapUpdateCheck, "", "", nullptr, nullptr, false, false},
        {State::MetadataCorrupt, "", "", nullptr, &W::RefreshSubscription, false, true},
        {State::NoConnection, "", "", nullptr, &W::ShowConnectionLost, true, true},
        {State::NoSubscription, "", "", nullptr, &W::RefreshSubscription, false, true},
        {State::OptionalUpdate, "", "", nullptr, &W::ShowOptionalMap, true, true},
        {State::PendingUpdate,
            QT_TRANSLATE_NOOP("global", "Map updates ready to be installed on your vehicle's navigation system"),
            QT_TRANSLATE_NOOP("global",
                "To complete installation of map updates, connect the USB stick to your vehicle's navigation system "
                "and follow the instructions on the display."),
            kPendingImage, &W::ShowPendingMap, true, true},
        {State::RootUpdate, "", "", nullptr, &W::ShowRootMaps, true, true},
        {State::ServerError, "", "", nullptr, &W::ShowServerUnavailable, true, true},
        {State::SubscriptionExpired, "", "", nullptr, &W::SetSubscriptionExpired, true, true},
        {State::UpToDate, "", "", nullptr, &W::ShowInstalledMap, true, true},
        {State::UsbBlocked, "", "", nullptr, &W::SetUsbBlocked, true, true},
        {State::UsbCheck, "", "", nullptr, nullptr, true, false},
        {State::UsbFull, "", "", nullptr, &W::SetUsbFull, true, true},
        {State::UsbRemoved, "", "", nullptr, nullptr, false, true},
        {State::UsbTooSmall, "", "", nullptr, &W::ShowUsbTooSmall, true, true},
    };
    for (const Row& row : rows) {
        StateData& record = stateData[row.state];
        record.title = row.title;
        record.text = row.text;
        record.image = row.image ? QPixmap(row.image) : QPixmap();
        if (row.action)
            record.action = [this, action = row.action] { (this->*action)(); };
        record.mapUpdatesEnabled = row.mapUpdatesEnabled;
        record.settingsEnabled = row.settingsEnabled;
    }
}

void MainWindow::ShowDeletingMap()
{
    const MapInfo map = MapStorage::Instance().GetDeletingMap();
    if (map.IsValid())
        SetDeletingMap(map);
}

void MainWindow::ShowDownloadingMap()
{
    const MapInfo map = MapStorage::Instance().GetDownloadingMap();
    if (map.IsValid())
        SetDownloadingMap(map);
}

void MainWindow::ShowMandatoryMap()
{
    SetMandatoryMap(MapStorage::Instance().GetMandatoryMap());
}

void MainWindow::ShowOptionalMap()
{
    SetOptionalMap(MapStorage::Instance().GetOptionalMap());
}

void MainWindow::ShowInstalledMap()
{
    SetOptionalMap(MapStorage::Instance().GetInstalledMap());
}

void MainWindow::ShowPendingMap()
{
    SetPendingMap(MapStorage::Instance().GetPendingMap());
}

void MainWindow::ShowRootMaps()
{
    SetRootMaps(MapStorage::Instance().GetRootMaps());
}

void MainWindow::ShowUsbTooSmall()
{
    SetUsbTooSmall(MapStorage::Instance().GetDownloadingMap());
}

void MainWindow::ShowConnectionLost()
{
    ShowNetworkError(State::NoConnection, &MainWindow::SetNoConnection);
}

void MainWindow::ShowServerUnavailable()
{
    ShowNetworkError(State::ServerError, &MainWindow::SetServerError);
}

void MainWindow::ShowNetworkError(State networkState, void (MainWindow::*setter)())
{
    // Only a download in progress has something to retry or cancel here;
    // otherwise the window hides (SetState reads this flag after the action).
    const bool downloading = MapStorage::Instance().GetDownloadingMap().IsValid();
    stateData[networkState].mapUpdatesEnabled = downloading;
    if (downloading)
        (this->*setter)();
    RefreshSubscription();
}

void MainWindow::RefreshSubscription()
{
    settingsScreen->UpdateSubscription();
}

void MainWindow::CancelMapDownload()
{
    LOG(Debug) << "Canceling map download";
    emit ui->CancelDownload();
}

void MainWindow::RetryMapDownload()
{
    LOG(Debug) << "Retrying map download";
    emit ui->Retry(); // runs the state machine and its SetState first
    if (Record(state).mapUpdatesEnabled)
        ShowMapMessageScreen();
}

void MainWindow::PopupClicked(PopupLink link)
{
    LOG(Info) << "Popup link: " << link << " clicked";
    switch (link) {
    case PopupLink::Dismiss:
        CancelMapDownload();
        break;
    case PopupLink::ShowHelp:
        QDesktopServices::openUrl(QUrl(Config::GetUserGuidelineUrl(), QUrl::TolerantMode));
        break;
    case PopupLink::ManageMaps:
        ShowMapsOrDiscardSettings();
        break;
    case PopupLink::Retry:
        RetryMapDownload();
        break;
    case PopupLink::Blank:
    case PopupLink::Continue:
        break; // the facade has already re-applied the state for Continue
    }
}

} // namespace Ui
