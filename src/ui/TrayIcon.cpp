#include "TrayIcon.h"

#include "Config.h"
#include "IUi.h"
#include "Log.h"
#include "MapStorage.h"
#include "TrayArea.h"

#include <QAction>
#include <QCoreApplication>
#include <QIcon>
#include <QMenu>

namespace Ui {

namespace {

enum IconKind { Default = 0, Attention = 1, Progress = 2, Finished = 3 };

const std::map<int, QString> kIcons = {
    {Default, ":/icons/ic_win_default.png"},
    {Attention, ":/icons/ic_win_attention.png"},
    {Progress, ":/icons/ic_win_progress.png"},
    {Finished, ":/icons/ic_win_finished.png"},
};

struct Row {
    State state;
    IconKind icon;
    const char* toolTip;
    bool openApplicationEnabled;
    bool settingsEnabled;
};

const char* const kCannotWrite = QT_TRANSLATE_NOOP("global", "Cannot write to USB stick");
const char* const kUpdatesAvailable = QT_TRANSLATE_NOOP("global", "Map updates available");

// "Open application" of the two network errors is decided by a refresh at each SetState.
const Row kRows[] = {
    {State::CancelDownload, Progress, QT_TRANSLATE_NOOP("global", "Cancelling download"), true, false},
    {State::MandatoryUpdate, Attention, QT_TRANSLATE_NOOP("global", "Map update required"), true, true},
    {State::MapDownload, Progress, QT_TRANSLATE_NOOP("global", "Downloading map"), true, false},
    {State::MapUpdateCheck, Progress, QT_TRANSLATE_NOOP("global", "Checking for map updates"), false, false},
    {State::MetadataCorrupt, Attention, QT_TRANSLATE_NOOP("global", "Cannot read from USB stick"), false, true},
    {State::NoConnection, Attention, QT_TRANSLATE_NOOP("global", "Please check your internet connection"), true, true},
    {State::NoSubscription, Attention, QT_TRANSLATE_NOOP("global", "Vehicle's navigation device not registered yet"),
        false, true},
    {State::OptionalUpdate, Default, kUpdatesAvailable, true, true},
    {State::PendingUpdate, Finished, QT_TRANSLATE_NOOP("global", "Map updates ready"), true, true},
    {State::RootUpdate, Default, kUpdatesAvailable, true, true},
    {State::ServerError, Attention, QT_TRANSLATE_NOOP("global", "Map update server error"), true, true},
    {State::SubscriptionExpired, Attention, QT_TRANSLATE_NOOP("global", "Map update subscription expired"), true, true},
    {State::UpToDate, Default, QT_TRANSLATE_NOOP("global", "Your vehicle's navigation system is up to date"), true,
        true},
    {State::UsbBlocked, Attention, kCannotWrite, true, true},
    {State::UsbCheck, Progress, QT_TRANSLATE_NOOP("global", "Checking data on USB stick"), true, false},
    {State::UsbFull, Attention, kCannotWrite, true, true},
    {State::UsbRemoved, Attention,
        QT_TRANSLATE_NOOP("global", "The USB stick was removed while the application was accessing it"), true, true},
    {State::UsbTooSmall, Attention, kCannotWrite, true, true},
};

QString Translate(const QString& text)
{
    return text.isEmpty() ? QString() : QCoreApplication::translate("global", text.toUtf8().constData());
}

} // namespace

TrayIcon::TrayIcon(IUi* facade, QObject* parent)
    : QObject(parent)
    , ui(facade)
    , trayIcon(new QSystemTrayIcon(this))
    , menu(std::make_unique<QMenu>())
{
    for (int key : {OpenApplication, Settings, Quit})
        actions[key] = new QAction(menu.get());
    SetActionTexts();
    connect(actions.at(OpenApplication), &QAction::triggered, this, &TrayIcon::OpenApplicationClicked);
    connect(actions.at(Settings), &QAction::triggered, this, &TrayIcon::SettingsClicked);
    connect(actions.at(Quit), &QAction::triggered, ui, &IUi::Quit);
    for (const auto& entry : actions)
        menu->addAction(entry.second);
    trayIcon->setContextMenu(menu.get());
    connect(ui, &IUi::UpdateLocale, this, &TrayIcon::RetranslateUi);
    connect(trayIcon, &QSystemTrayIcon::activated, this, &TrayIcon::OnActivated);
    CreateStateData();
}

// The menu goes before the tray icon, which is deleted with this object's children.
TrayIcon::~TrayIcon() = default;

void TrayIcon::SetActionTexts()
{
    actions.at(OpenApplication)->setText(QCoreApplication::translate("global", "Open application"));
    actions.at(Settings)->setText(QCoreApplication::translate("global", "Settings"));
    actions.at(Quit)->setText(QCoreApplication::translate("global", "Quit"));
}

void TrayIcon::OnActivated(QSystemTrayIcon::ActivationReason reason)
{
    if (reason == QSystemTrayIcon::Trigger)
        emit Clicked();
}

TrayIcon::StateData TrayIcon::Record(State s) const
{
    const auto found = stateData.find(s);
    return found == stateData.end() ? StateData() : found->second;
}

void TrayIcon::SetState(State newState)
{
    if (newState != state) {
        LOG(Debug) << "Changing state from: " << state << " to: " << newState;
        state = newState;
    }
    if (const auto refresh = Record(state).refresh)
        refresh();
    const StateData record = Record(state);
    auto icon = icons.find(record.icon);
    if (icon == icons.end())
        icon = icons.emplace(record.icon, QIcon(record.icon)).first;
    trayIcon->setIcon(icon->second);
    trayIcon->setToolTip(Config::Instance().appName + "\r\n" + Translate(record.toolTip));
    SystemTrayAvailable(); // logs once where there is no notification area
    trayIcon->show();
    actions.at(OpenApplication)->setEnabled(record.openApplicationEnabled);
    actions.at(Settings)->setEnabled(record.settingsEnabled);
}

QRect TrayIcon::GetGeometry() const
{
    return TrayIconRect(trayIcon->geometry());
}

void TrayIcon::RetranslateUi()
{
    LOG(Debug) << "Retranslating tray icon's strings";
    SetActionTexts();
    SetState(state);
}

void TrayIcon::CreateStateData()
{
    for (const Row& row : kRows) {
        StateData& record = stateData[row.state];
        record.icon = kIcons.at(row.icon);
        record.toolTip = row.toolTip;
        record.openApplicationEnabled = row.openApplicationEnabled;
        record.settingsEnabled = row.settingsEnabled;
    }
    // After a network error during a download the window offers Retry and
    // Cancel; "Open application" reaches it exactly while a download is held.
    for (State networkError : {State::NoConnection, State::ServerError}) {
        stateData[networkError].refresh = [this, networkError] {
            stateData[networkError].openApplicationEnabled = MapStorage::Instance().GetDownloadingMap().IsValid();
        };
    }
}

} // namespace Ui
