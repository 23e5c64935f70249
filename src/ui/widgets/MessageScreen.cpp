#include "MessageScreen.h"

#include "Filesystem.h"
#include "IUi.h"
#include "Log.h"
#include "MapStorage.h"
#include "Progress.h"
#include "Resources.h"
#include "ui_MessageScreenWidget.h"

#include <QCoreApplication>

#include <algorithm>
#include <iterator>

namespace Ui {

namespace {

constexpr int kRefreshMs = 500;
const char* const kWarningIcon = ":/icons/ic_warning_big.png";
const char* const kDownloadFrames = ":/icons/ic_progress_72/ic_progress_%1.png";
const char* const kDeletionFrames = ":/icons/ic_delete_72/ic_delete_%1.png";

// Which button Return presses when the user has put the focus on no other:
// the one that leaves things as they are (the answer "No", the way back).
// None where each button acts (deletes, cancels, starts a download), so a
// stray Return does nothing there.
enum class Keep { None, First, Second };

// A page of fixed texts under the warning icon; an empty button text hides
// the button.
struct WarningPage {
    MessageType type;
    Log::Severity severity;
    const char* log;
    const char* title;
    const char* description;
    const char* first;
    const char* second;
    Keep keep;
};

const WarningPage kWarningPages[] = {
    {MessageType::DiscardUpdate, Log::Debug, "Showing Discard update message screen",
        QT_TRANSLATE_NOOP("global", "Cancel map update?"),
        QT_TRANSLATE_NOOP("global",
            "Cancelling the map update will delete the map update from the USB stick. For future installation on "
            "your vehicle's navigation system, the map update needs to be downloaded to the USB stick again. Please "
            "confirm cancelling this map update."),
        QT_TRANSLATE_NOOP("global", "Yes"), QT_TRANSLATE_NOOP("global", "No"), Keep::Second},
    {MessageType::SaveSettings, Log::Debug, "Showing You have unsaved changes message screen",
        QT_TRANSLATE_NOOP("global", "Unsaved changes detected"),
        QT_TRANSLATE_NOOP("global", "Unsaved changes detected. Closing this settings window will discard the changes."),
        QT_TRANSLATE_NOOP("global", "Yes, discard"), QT_TRANSLATE_NOOP("global", "No, go back"), Keep::Second},
    {MessageType::HeadUnitFull, Log::Debug, "Showing Head unit full message screen",
        QT_TRANSLATE_NOOP("global", "Insufficient memory space available on your vehicle's navigation system"),
        QT_TRANSLATE_NOOP("global", "Please contact your dealer."), QT_TRANSLATE_NOOP("global", "Manage maps"), "",
        Keep::None},
    {MessageType::NoConnection, Log::Debug, "Showing Connection lost message screen",
        QT_TRANSLATE_NOOP("global", "No internet connection"),
        QT_TRANSLATE_NOOP("global",
            "Downloading map updates requires an internet connection. Please check if the computer is connected to "
            "the internet."),
        QT_TRANSLATE_NOOP("global", "Retry"), QT_TRANSLATE_NOOP("global", "Cancel"), Keep::First},
    {MessageType::NoUsb, Log::Debug, "Showing No usb message screen", QT_TRANSLATE_NOOP("global", "No USB stick found"),
        QT_TRANSLATE_NOOP("global", "Connect a USB stick to the computer"), QT_TRANSLATE_NOOP("global", "Dismiss"), "",
        Keep::First},
    {MessageType::QuitApplication, Log::Debug, "Showing Quit application message screen",
        QT_TRANSLATE_NOOP("global", "Quit application"),
        QT_TRANSLATE_NOOP("global",
            "The USB stick is in use. Quitting the application results in losing your vehicle's navigation system "
            "map information. To return to the application click No."),
        QT_TRANSLATE_NOOP("global", "No"), QT_TRANSLATE_NOOP("global", "Yes"), Keep::First},
    {MessageType::ServerError, Log::Info, "Showing Server error message screen",
        QT_TRANSLATE_NOOP("global", "Map update server not available"),
        QT_TRANSLATE_NOOP("global", "Please try again later."), QT_TRANSLATE_NOOP("global", "Retry"),
        QT_TRANSLATE_NOOP("global", "Cancel"), Keep::First},
    {MessageType::StopDownload, Log::Debug, "Showing stop download message screen",
        QT_TRANSLATE_NOOP("global", "Cancel map update download?"),
        QT_TRANSLATE_NOOP("global", "Are you sure you want to cancel the map update download?"),
        QT_TRANSLATE_NOOP("global", "Yes"), QT_TRANSLATE_NOOP("global", "No"), Keep::Second},
    {MessageType::SubscriptionExpired, Log::Debug, "Showing Map updates expired message screen",
        QT_TRANSLATE_NOOP("global", "Map update subscription expired"),
        QT_TRANSLATE_NOOP("global",
            "You can still download a map to restore your system to the latest version you were entitled to. To "
            "restore the latest entitled map version click below."),
        QT_TRANSLATE_NOOP("global", "Restore map"), "", Keep::None},
    {MessageType::UsbBlocked, Log::Debug, "Showing USB stick blocked message screen",
        QT_TRANSLATE_NOOP("global", "Map update download failed"),
        QT_TRANSLATE_NOOP("global",
            "Map update download failed due to a device access operation. Please check if all files on the USB "
            "stick can be accessed."),
        QT_TRANSLATE_NOOP("global", "Dismiss"), "", Keep::None},
    {MessageType::UsbFull, Log::Debug, "Showing USB stick full message screen",
        QT_TRANSLATE_NOOP("global", "Insufficient memory space available"),
        QT_TRANSLATE_NOOP("global",
            "There is insufficient memory space available on the USB stick. Please create some free memory space."),
        QT_TRANSLATE_NOOP("global", "Dismiss"), "", Keep::None},
};

QString Translate(const char* text)
{
    return *text ? QCoreApplication::translate("global", text) : QString();
}

const WarningPage* FindWarningPage(MessageType type)
{
    const auto found = std::find_if(std::begin(kWarningPages), std::end(kWarningPages),
        [type](const WarningPage& page) { return page.type == type; });
    return found == std::end(kWarningPages) ? nullptr : found;
}

// A progress page lays its wrapping description out anew every 500 ms: a name
// from the service is shown up to a bound, whatever its length.
QString MapName(const std::wstring& name)
{
    constexpr std::size_t kShownCharacters = 200;
    if (name.size() <= kShownCharacters)
        return QString::fromStdWString(name);
    return QString::fromStdWString(name.substr(0, kShownCharacters)) + QChar(0x2026);
}

QString Size(std::int64_t bytes)
{
    return FormatSize(static_cast<std::uint64_t>(std::max<std::int64_t>(bytes, 0)), 2);
}

} // namespace

MessageScreen::MessageScreen(IUi* facade, QWidget* parent)
    : QWidget(parent)
    , ui(facade)
    , form(std::make_unique<MessageScreenWidget>())
{
    form->setupUi(this);
    // Map names come from the service: never let one turn a label into markup.
    form->labelMessageTitle->setTextFormat(Qt::PlainText);
    form->labelMessageDescription->setTextFormat(Qt::PlainText);
    form->labelMessageTitle->setFont(Fonts::Get(Fonts::Bold, 18));
    form->labelMessageDescription->setFont(Fonts::Get(Fonts::Regular, 14));
    form->pushButtonPrimary->setFont(Fonts::Get(Fonts::Medium, 14));
    form->pushButtonSecondary->setFont(Fonts::Get(Fonts::Medium, 14));
    LoadStylesheet(":/styles/MessageScreenWidget.qss", this);

    connect(ui, &IUi::UpdateLocale, this, &MessageScreen::RetranslateUi);
    connect(form->pushButtonPrimary, &QPushButton::clicked, this, [this] { OnButtonClicked(true); });
    connect(form->pushButtonSecondary, &QPushButton::clicked, this, [this] { OnButtonClicked(false); });
    downloadTimer.setInterval(kRefreshMs);
    deletionTimer.setInterval(kRefreshMs);
    connect(&downloadTimer, &QTimer::timeout, this, &MessageScreen::ShowMapDownload);
    connect(&deletionTimer, &QTimer::timeout, this, &MessageScreen::ShowMapDelete);
}

MessageScreen::~MessageScreen() = default;

void MessageScreen::Show(MessageType messageType)
{
    StartOver();
    switch (messageType) {
    case MessageType::MapDelete:
        ShowMapDelete();
        deletionTimer.start();
        break;
    case MessageType::MapDownload:
        ShowMapDownload();
        downloadTimer.start();
        break;
    case MessageType::HeadUnitFull: // needs a map: only through Init
        break;
    default:
        ShowWarning(messageType);
    }
    type = messageType;
    map.Reset();
}

void MessageScreen::Init(MessageType messageType, const MapInfo& mapInfo)
{
    if (!mapInfo.IsValid()) {
        LOG(Warning) << "Map info is not valid";
        return;
    }
    StartOver();
    switch (messageType) {
    case MessageType::HeadUnitFull:
        ShowWarning(messageType);
        break;
    case MessageType::MapUpdate:
        ShowMapUpdate(mapInfo);
        break;
    case MessageType::UsbTooSmall:
        ShowUsbTooSmall(mapInfo);
        break;
    default:
        break;
    }
    type = messageType;
    map = mapInfo;
}

void MessageScreen::FocusDefault()
{
    for (QPushButton* button : {form->pushButtonPrimary, form->pushButtonSecondary})
        if (button->isDefault()) {
            button->setFocus();
            return;
        }
    setFocus();
}

void MessageScreen::RetranslateUi()
{
    LOG(Debug) << "Retranslating widget's strings";
    if (type == MessageType::None)
        return;
    if (map.IsValid())
        Init(type, map);
    else
        Show(type);
}

void MessageScreen::StartOver()
{
    downloadTimer.stop();
    deletionTimer.stop();
    form->pushButtonPrimary->setEnabled(true);
    form->pushButtonSecondary->setEnabled(true);
}

void MessageScreen::OnButtonClicked(bool first)
{
    LOG(Debug) << (first ? "First button clicked" : "Second button clicked");
    form->pushButtonPrimary->setEnabled(false);
    form->pushButtonSecondary->setEnabled(false);
    if (first)
        emit FirstButtonClicked();
    else
        emit SecondButtonClicked();
}

void MessageScreen::SetContent(const QString& title, const QString& description, const QString& firstText,
    const QString& secondText, int progress, bool deletion)
{
    form->labelMessageTitle->setText(title);
    form->labelMessageDescription->setText(description);
    if (progress < 0)
        form->labelMessageIcon->Init(kWarningIcon, 1);
    else
        form->labelMessageIcon->Init(
            QString(deletion ? kDeletionFrames : kDownloadFrames).arg(ProgressFrame(progress, deletion)), 1);
    for (auto [button, text] :
        {std::pair {form->pushButtonPrimary, &firstText}, std::pair {form->pushButtonSecondary, &secondText}}) {
        button->setText(*text);
        button->setVisible(!text->isEmpty());
        button->setEnabled(!text->isEmpty());
        button->setDefault(false); // the page's builder names its own
    }
}

void MessageScreen::ShowWarning(MessageType messageType)
{
    const WarningPage* page = FindWarningPage(messageType);
    if (!page)
        return; // a kind with a map, or no kind at all: the page stays as it is
    LOG_CHANNEL_SEV("ZUK", page->severity) << page->log;
    // With no installed map there is nothing to restore.
    const bool offered
        = messageType != MessageType::SubscriptionExpired || MapStorage::Instance().GetInstalledMap().IsValid();
    SetContent(Translate(page->title), Translate(page->description), offered ? Translate(page->first) : QString(),
        Translate(page->second), -1, false);
    if (page->keep != Keep::None)
        (page->keep == Keep::First ? form->pushButtonPrimary : form->pushButtonSecondary)->setDefault(true);
}

void MessageScreen::ShowMapDownload()
{
    const MapInfo downloading = MapStorage::Instance().GetDownloadingMap();
    if (!downloading.IsValid()) {
        downloadTimer.stop();
        return;
    }
    const int percent = ProgressPercent(downloading.downloaded, downloading.size);
    LOG(Debug) << "Showing map download message screen";
    const QString description = QCoreApplication::translate("global", "%1\nDownloading - %2 %\n%3 of %4")
                                    .arg(MapName(downloading.name), QString::number(percent),
                                        Size(downloading.downloaded), Size(downloading.size));
    SetContent(QCoreApplication::translate("global", "Map update"), description,
        QCoreApplication::translate("global", "Cancel"), QString(), percent, false);
}

void MessageScreen::ShowMapDelete()
{
    const MapInfo deleting = MapStorage::Instance().GetDeletingMap();
    if (!deleting.IsValid()) {
        deletionTimer.stop();
        return;
    }
    const std::int64_t left = deleting.size - deleting.downloaded;
    const int percent = ProgressPercent(left, deleting.size);
    LOG(Debug) << "Showing map deletetion message screen";
    const QString description
        = QCoreApplication::translate("global", "%1\nCancelling download - %2 %\n%3 of %4")
              .arg(MapName(deleting.name), QString::number(percent), Size(left), Size(deleting.size));
    SetContent(QCoreApplication::translate("global", "Deleting downloaded map update."), description, QString(),
        QString(), percent, true);
}

void MessageScreen::ShowMapUpdate(const MapInfo& mapInfo)
{
    LOG(Debug) << "Showing Map Reset message screen";
    const char* title = "";
    const char* description = "";
    switch (mapInfo.type) {
    case MapInfo::Installed:
        title = QT_TRANSLATE_NOOP("global", "Confirm map download");
        description = QT_TRANSLATE_NOOP("global", "This map download of %1 will restore the current map.");
        break;
    case MapInfo::Optional:
        title = QT_TRANSLATE_NOOP("global", "Confirm optional map update");
        description = QT_TRANSLATE_NOOP(
            "global", "This map update download of %1 will refresh the current map with the latest updates.");
        break;
    case MapInfo::Mandatory:
        title = QT_TRANSLATE_NOOP("global", "Confirm mandatory map update");
        description = QT_TRANSLATE_NOOP(
            "global", "This map update download of %1 will refresh the current map with the latest updates.");
        break;
    }
    // A mandatory update can only be confirmed.
    const QString second
        = mapInfo.type == MapInfo::Mandatory ? QString() : QCoreApplication::translate("global", "Cancel");
    QString text = Translate(description);
    if (!text.isEmpty())
        text = text.arg(Size(mapInfo.size));
    SetContent(Translate(title), text, QCoreApplication::translate("global", "Continue"), second, -1, false);
    form->pushButtonSecondary->setDefault(!second.isEmpty());
}

void MessageScreen::ShowUsbTooSmall(const MapInfo& mapInfo)
{
    LOG(Debug) << "Showing USB stick too small message screen";
    SetContent(QCoreApplication::translate("global", "Insufficient memory space available"),
        QCoreApplication::translate("global",
            "There is insufficient memory space available on the USB stick. Please reconnect an USB stick with at "
            "least %1 of free memory space to the vehicle's navigation system.")
            .arg(Size(mapInfo.size)),
        QCoreApplication::translate("global", "Manage maps"), QString(), -1, false);
}

} // namespace Ui
