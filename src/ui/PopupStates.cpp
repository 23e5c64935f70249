// The popup's per-state table.
#include "Popup.h"

namespace Ui {

namespace {

const char* const kConnectedStyle = "QLabel#labelStatusText { color : #78BE20; }";
const char* const kErrorStyle = "QLabel#labelStatusText { color : #EA0016; }";
const char* const kConnectedIcon = ":/icons/ic_connected.png";
const char* const kNotificationIcon = ":/icons/ic_device_notification.png";
const char* const kStatusSpinner = ":/icons/ic_spinner_1414/ic_spinner_%1.png";
constexpr int kStatusSpinnerFrames = 18;
const char* const kSpinner = ":/icons/ic_spinner.gif";
const char* const kErrorIcon = ":/icons/ic_error_big.png";
const char* const kExpiredIcon = ":/icons/ic_map_expired.png";

// What the stick status strip shows besides its defaults.
enum class Strip { Connected, Error, Checking };

struct Row {
    State state;
    const char* title;
    const char* text;
    const char* icon;
    int frames;
    const char* linkText;
    PopupLink link;
    Strip strip;
};

const Row kRows[] = {
    {State::CancelDownload, "", QT_TRANSLATE_NOOP("global", "Cancelling download"), kSpinner, -1, "", PopupLink::Blank,
        Strip::Connected},
    {State::MandatoryUpdate, QT_TRANSLATE_NOOP("global", "Map update required"), "",
        ":/icons/ic_full_update_required.png", 1, QT_TRANSLATE_NOOP("global", "Update map"), PopupLink::ManageMaps,
        Strip::Connected},
    {State::MapDownload, "", QT_TRANSLATE_NOOP("global", "Downloading map"), kSpinner, -1,
        QT_TRANSLATE_NOOP("global", "Manage maps"), PopupLink::ManageMaps, Strip::Connected},
    {State::MapUpdateCheck, "",
        QT_TRANSLATE_NOOP("global", "Checking for map updates. Please do not disconnect the USB stick."), kSpinner, -1,
        "", PopupLink::Blank, Strip::Connected},
    {State::MetadataCorrupt, "",
        QT_TRANSLATE_NOOP("global", "Something has gone wrong. Please connect the USB stick to your vehicle again."),
        kErrorIcon, 1, QT_TRANSLATE_NOOP("global", "See help"), PopupLink::ShowHelp, Strip::Error},
    {State::NoConnection, "",
        QT_TRANSLATE_NOOP("global",
            "Checking for map updates requires an internet connection. Please check if the computer is connected "
            "to the internet."),
        ":/icons/ic_connect_usb.png", 1, QT_TRANSLATE_NOOP("global", "Retry"), PopupLink::Retry, Strip::Connected},
    {State::NoSubscription, QT_TRANSLATE_NOOP("global", "Vehicle's navigation device not registered yet"),
        QT_TRANSLATE_NOOP("global", "Your vehicle's navigation device is not registered yet to receive map updates."),
        "", 0, QT_TRANSLATE_NOOP("global", "See help"), PopupLink::ShowHelp, Strip::Connected},
    {State::OptionalUpdate, QT_TRANSLATE_NOOP("global", "Update available"), "", ":/icons/ic_full_update_available.png",
        1, QT_TRANSLATE_NOOP("global", "Update maps"), PopupLink::ManageMaps, Strip::Connected},
    {State::PendingUpdate, QT_TRANSLATE_NOOP("global", "Pending map updates"),
        QT_TRANSLATE_NOOP("global",
            "This USB stick already contains map updates. Please connect it to your vehicle to transfer the map "
            "updates to your navigation system."),
        "", 0, QT_TRANSLATE_NOOP("global", "Manage maps"), PopupLink::ManageMaps, Strip::Connected},
    {State::RootUpdate, QT_TRANSLATE_NOOP("global", "Manage maps"),
        QT_TRANSLATE_NOOP("global", "Open the main application to download maps for your vehicle's navigation system."),
        "", 0, QT_TRANSLATE_NOOP("global", "Open application"), PopupLink::ManageMaps, Strip::Connected},
    {State::ServerError, QT_TRANSLATE_NOOP("global", "Map update server not available"),
        QT_TRANSLATE_NOOP("global", "Something has gone wrong."), kExpiredIcon, 1, QT_TRANSLATE_NOOP("global", "Retry"),
        PopupLink::Retry, Strip::Connected},
    {State::SubscriptionExpired, QT_TRANSLATE_NOOP("global", "Map update subscription expired"), "", kExpiredIcon, 1,
        QT_TRANSLATE_NOOP("global", "Restore map"), PopupLink::ManageMaps, Strip::Connected},
    {State::UpToDate, QT_TRANSLATE_NOOP("global", "Your navigation system is up to date"), "",
        ":/icons/ic_full_update_updated.png", 1, QT_TRANSLATE_NOOP("global", "Manage maps"), PopupLink::ManageMaps,
        Strip::Connected},
    {State::UsbBlocked, "", QT_TRANSLATE_NOOP("global", "Map update download failed"), kErrorIcon, 1,
        QT_TRANSLATE_NOOP("global", "Dismiss"), PopupLink::Dismiss, Strip::Connected},
    {State::UsbCheck, "",
        QT_TRANSLATE_NOOP("global", "Checking your USB stick. Please wait. Please do not disconnect your USB stick."),
        "", 0, "", PopupLink::Blank, Strip::Checking},
    {State::UsbFull, "",
        QT_TRANSLATE_NOOP(
            "global", "Insufficient memory space available on the USB stick. Please create some free memory space."),
        kErrorIcon, 1, QT_TRANSLATE_NOOP("global", "Dismiss"), PopupLink::Dismiss, Strip::Connected},
    {State::UsbRemoved, "",
        QT_TRANSLATE_NOOP("global",
            "The USB stick has been removed while the system was still accessing it. Please reconnect the USB "
            "stick"),
        kErrorIcon, 1, QT_TRANSLATE_NOOP("global", "Continue"), PopupLink::Continue, Strip::Error},
    // The link reads "Manage maps" but dismisses the download.
    {State::UsbTooSmall, "",
        QT_TRANSLATE_NOOP("global",
            "Insufficient memory space available on the USB stick. Please use another USB stick with more free "
            "memory."),
        kErrorIcon, 1, QT_TRANSLATE_NOOP("global", "Manage maps"), PopupLink::Dismiss, Strip::Connected},
};

// Untranslated defaults of the strip; translated where shown.
const char* const kStickTitle = QT_TRANSLATE_NOOP("global", "USB stick");
const char* const kConnected = QT_TRANSLATE_NOOP("global", "Connected");
const char* const kError = QT_TRANSLATE_NOOP("global", "Error");

} // namespace

Popup::StateData::StateData()
    : statusTitle(kStickTitle)
    , statusText(kConnected)
    , statusStyle(kConnectedStyle)
    , statusIcon(kConnectedIcon)
    , statusIconFrames(1)
    , contentIconFrames(0)
    , link(PopupLink::Blank)
{
}

void Popup::CreateStateData()
{
    for (const Row& row : kRows) {
        StateData& record = stateData[row.state];
        record.contentTitle = row.title;
        record.contentText = row.text;
        record.contentIcon = row.icon;
        record.contentIconFrames = row.frames;
        record.linkText = row.linkText;
        record.link = row.link;
        if (row.strip == Strip::Error) {
            record.statusText = kError;
            record.statusStyle = kErrorStyle;
            record.statusIcon = kNotificationIcon;
        } else if (row.strip == Strip::Checking) {
            record.statusIcon = kStatusSpinner;
            record.statusIconFrames = kStatusSpinnerFrames;
        }
    }
}

} // namespace Ui
