#include "States/Common.h"

#include "States/MapUpdateCheck.h"
#include "States/TeardownWait.h"

#include "Log.h"
#include "MapStorage.h"
#include "StickPath.h"
#include "UsbStorage.h"

#include <QGuiApplication>
#include <QMetaObject>

#include <boost/filesystem/path.hpp>

#include <stdexcept>
#include <string>

namespace States {

namespace {

// A misspelt name would only warn at run time; the machine refuses to start instead.
void Connect(const QObject* sender, const char* signal, const QObject* receiver, const char* method)
{
    if (!QObject::connect(sender, signal, receiver, method, Qt::QueuedConnection))
        throw std::logic_error(std::string("Failed to connect manager signal: ") + (signal + 1));
}

void RequireMethods(const QObject* manager, std::initializer_list<const char*> methods)
{
    for (const char* method : methods)
        if (manager->metaObject()->indexOfMethod(QMetaObject::normalizedSignature(method)) < 0)
            throw std::logic_error(std::string("Failed to find manager method: ") + method);
}

// The managers stop at once unless a stick keeps them busy; then the window
// and the tray icon go before the wait for it.
constexpr int kStopGraceMs = 250;

bool AnyMapOperation()
{
    const MapStorage& maps = MapStorage::Instance();
    return maps.GetDownloadingMap().IsValid() || maps.GetDeletingMap().IsValid() || maps.GetPendingMap().IsValid();
}

} // namespace

Common::Common(my_context ctx)
    : my_base(ctx)
{
    const Collaborators& collaborators = context<StateMachine>().GetCollaborators();
    quit = collaborators.quit;
    threadLeft = collaborators.threadLeft;
    managersOnThreads = collaborators.managersOnThreads;
    Make(collaborators);
    LOG(Info) << "Entered Common state";
    ConnectUi();
    ConnectManagers();
    MoveToThreads();
}

Common::~Common()
{
    TeardownWait wait(*roots);
    wait.Stop(*usbManager, *usbThread);
    wait.Stop(*fullMapUpdateManager, *managerThread);
    if (!wait.EndWithin(kStopGraceMs)) {
        ui.reset();
        // The display removes them now, not when the process ends.
        QGuiApplication::sync();
        wait.EndWhileSticksAnswer();
    }
    if (!wait.Ended(*usbThread))
        Leave(usbManager, usbThread);
    if (!wait.Ended(*managerThread))
        Leave(fullMapUpdateManager, managerThread);
    managerThread.reset();
    usbThread.reset();
    fullMapUpdateManager.reset();
    usbManager.reset();
    ui.reset();
}

// Neither the manager nor its thread may be destroyed while the thread runs:
// both are let go of, and left to the end of the process.
void Common::Leave(std::unique_ptr<QObject>& manager, std::unique_ptr<QThread>& thread)
{
    manager.release();
    thread.release();
    threadLeft();
}

void Common::Make(const Collaborators& collaborators)
{
    qRegisterMetaType<UsbInfo::Id>("UsbInfo::Id");
    qRegisterMetaType<MapInfo::Id>("MapInfo::Id");
    qRegisterMetaType<MetadataChecker::Result>("MetadataChecker::Result");
    qRegisterMetaType<MapDownloader::Result>("MapDownloader::Result");
    ui = collaborators.makeUi();
    usbManager = collaborators.makeUsbManager();
    fullMapUpdateManager = collaborators.makeMapUpdateManager();
    usbThread = std::make_unique<QThread>();
    managerThread = std::make_unique<QThread>();
    roots = std::make_unique<RootWatch>(collaborators.rootAnswers, collaborators.rootsOnThreads);
}

// Direct: the transition runs inside the user's click.
void Common::ConnectUi()
{
    connect(ui.get(), &Ui::IUi::UpdateLocale, this, [this] { Raise(Events::LocaleUpdate()); });
    connect(ui.get(), &Ui::IUi::DownloadMap, this, [this](MapInfo::Id mapId) { Raise(Events::DownloadMap(mapId)); });
    connect(ui.get(), &Ui::IUi::CancelDownload, this, [this] { Raise(Events::CancelDownload()); });
    connect(ui.get(), &Ui::IUi::Retry, this, [this] { Raise(Events::Retry()); });
    connect(ui.get(), &Ui::IUi::Quit, this, [this] { Raise(Events::Quit()); });
    connect(ui.get(), &Ui::IUi::ForcedQuit, this, [this] { quit(); });
}

// Queued: the managers signal from their own threads. Every method invoked
// on them later is looked up now.
void Common::ConnectManagers()
{
    const QObject* usb = usbManager.get();
    Connect(usb, SIGNAL(UsbCheckStarted()), this, SLOT(OnUsbCheckStarted()));
    Connect(usb, SIGNAL(UsbCheckComplete(UsbInfo::Id)), this, SLOT(OnUsbChecked(UsbInfo::Id)));
    Connect(usb, SIGNAL(UsbRemoved(UsbInfo::Id)), this, SLOT(OnUsbRemoved(UsbInfo::Id)));
    const QObject* maps = fullMapUpdateManager.get();
    Connect(
        maps, SIGNAL(RootUpdatesChecked(MetadataChecker::Result)), this, SLOT(OnRootUpdates(MetadataChecker::Result)));
    Connect(maps, SIGNAL(RelatedUpdatesChecked(MetadataChecker::Result)), this,
        SLOT(OnRelatedUpdates(MetadataChecker::Result)));
    Connect(maps, SIGNAL(OperationStarted()), this, SLOT(OnMapOperationStarted()));
    Connect(maps, SIGNAL(OperationFinished(MapDownloader::Result)), this,
        SLOT(OnMapOperationFinished(MapDownloader::Result)));
    Connect(maps, SIGNAL(CheckStarted()), this, SLOT(OnCheckStarted()));
    connect(roots.get(), &RootWatch::AnswersAgain, this, &Common::RediscoverUsb);
    RequireMethods(usb, {"StartUsbDiscovery()", "RediscoverUsb(UsbInfo::Id)", "Stop()"});
    RequireMethods(
        maps, {"CheckMapUpdates()", "UpdateLocale()", "DownloadMap(MapInfo::Id)", "AbortMapDownload()", "Stop()"});
}

void Common::MoveToThreads()
{
    if (managersOnThreads) {
        usbManager->moveToThread(usbThread.get());
        fullMapUpdateManager->moveToThread(managerThread.get());
    }
    usbThread->start();
    managerThread->start();
}

boost::statechart::result Common::react(const Events::Activate&)
{
    LOG(Info) << "Got Activate event";
    ui->Activate();
    return discard_event();
}

boost::statechart::result Common::react(const Events::LocaleUpdate&)
{
    LOG(Info) << "Got LocaleUpdate event: updating map name";
    // Nothing waits for the new names: the offer on show stays.
    Invoke(fullMapUpdateManager.get(), "UpdateLocale", Qt::QueuedConnection);
    return discard_event();
}

boost::statechart::result Common::react(const Events::Quit&)
{
    QuitNow();
    return discard_event();
}

void Common::QuitNow()
{
    LOG(Info) << "Got Quit event: quitting application";
    quit();
}

void Common::QuitOrConfirm()
{
    if (UsbStorage::Instance().GetSelectedUsb().IsValid())
        ConfirmQuit();
    else
        QuitNow();
}

void Common::ShowUsbRemovedDuringMapOperation()
{
    const MapStorage& maps = MapStorage::Instance();
    if (maps.GetDownloadingMap().IsValid() || maps.GetDeletingMap().IsValid())
        SetUiState(Ui::State::UsbRemoved);
}

bool Common::HasDownloadToResume()
{
    return MapStorage::Instance().GetDownloadingMap().IsValid();
}

void Common::SetUiState(Ui::State state)
{
    ui->SetState(state);
}

void Common::ConfirmQuit()
{
    LOG(Info) << "Got Quit event: confirming application quit";
    ui->ConfirmQuit();
}

void Common::CheckMapUpdates()
{
    if (Request("CheckMapUpdates"))
        ++checksNotTaken;
}

void Common::DownloadMap(const MapInfo::Id& mapId)
{
    Request("DownloadMap", Q_ARG(MapInfo::Id, mapId));
}

void Common::AbortMapDownload()
{
    Request("AbortMapDownload");
}

// Processed right after the event that asked, by the state that waits.
bool Common::Request(const char* method, QGenericArgument argument)
{
    if (Invoke(fullMapUpdateManager.get(), method, Qt::QueuedConnection, argument))
        return true;
    post_event(Events::InvocationFailed());
    return false;
}

// The names are checked at start, yet a call can still fail (an argument type
// that was never registered, say); it must not pass unnoticed.
bool Common::Invoke(QObject* manager, const char* method, Qt::ConnectionType type, QGenericArgument argument)
{
    if (QMetaObject::invokeMethod(manager, method, type, argument))
        return true;
    LOG(Error) << "Failed to invoke manager method: " << method;
    return false;
}

void Common::Raise(const boost::statechart::event_base& event)
{
    context<StateMachine>().process_event(event);
}

void Common::OnUsbCheckStarted()
{
    Raise(Events::UsbInsert());
}

void Common::OnCheckStarted()
{
    if (checksNotTaken > 0)
        --checksNotTaken;
}

bool Common::IsStaleCheckResult(MetadataChecker::Result result) const
{
    if (checksNotTaken == 0)
        return false;
    LOG(Debug) << "Dropped result of an earlier check: " << result;
    return true;
}

// The event carries the selected stick's state: the verified stick's when it
// became the selected one, else that of the stick that stays selected. So a
// second stick never passes for the selected one's check result.
void Common::OnUsbChecked(UsbInfo::Id usbId)
{
    UsbInfo usb = UsbStorage::Instance().GetUsb(usbId);
    LOG(Debug) << "Inserted usb: " << boost::filesystem::path(usb.path) << " with state: " << usb.state;
    const bool selects = SelectsNewUsb(usb.state);
    if (selects)
        usb.selected = true;
    UsbStorage::Instance().UpdateUsb(usb);
    ui->UpdateUsbs();
    if (selects)
        RaiseMetadata(usb.state, Events::Origin::Selected);
    else
        RaiseMetadata(UsbStorage::Instance().GetSelectedUsb().state, Events::Origin::Kept);
}

bool Common::SelectsNewUsb(UsbInfo::State state)
{
    const UsbInfo selected = UsbStorage::Instance().GetSelectedUsb();
    if (!selected.IsValid())
        return true;
    return state != UsbInfo::NoMetadata && selected.state == UsbInfo::NoMetadata && !AnyMapOperation();
}

void Common::RaiseMetadata(UsbInfo::State state, Events::Origin origin)
{
    switch (state) {
    case UsbInfo::InvalidMetadata:
        return Raise(Events::InvalidMetadata(origin));
    case UsbInfo::NoMetadata:
        return Raise(Events::NoMetadata(origin));
    case UsbInfo::ValidMetadata:
        return Raise(Events::ValidMetadata(origin));
    }
    throw std::logic_error("Usb check failed: result is not supported");
}

// A stick whose verification never stored it is unknown here, and so is one
// taken out already because its root was gone: only the list is refreshed.
void Common::OnUsbRemoved(UsbInfo::Id usbId)
{
    LOG(Debug) << "Usb: " << usbId << " was removed";
    const UsbInfo usb = UsbStorage::Instance().GetUsb(usbId);
    if (removalAsked == usbId)
        removalAsked.reset();
    if (!usb.IsValid()) {
        if (!roots->Unwatch(usbId))
            LOG(Warning) << "Usb: " << usbId << " is not known";
        ui->UpdateUsbs();
        return;
    }
    TakeOut(usb);
    if (usb.selected)
        Raise(Events::UsbRemove());
}

void Common::TakeOut(const UsbInfo& usb)
{
    UsbStorage::Instance().RemoveUsb(usb.id);
    if (usb.selected)
        SelectFirstUsb({UsbInfo::ValidMetadata, UsbInfo::InvalidMetadata, UsbInfo::NoMetadata});
    ui->UpdateUsbs();
}

// A manager found the selected stick gone. Its root is asked again, off this
// thread (a mount that does not answer must not freeze the window), before the
// removal is raised: a stick gone indeed is taken out first, or the new check
// would only find it gone again, and show its removal again. A stick whose
// root still answers stays.
void Common::ConfirmRemoval()
{
    const UsbInfo selected = UsbStorage::Instance().GetSelectedUsb();
    if (!selected.IsValid())
        return Raise(Events::UsbRemove());
    if (removalAsked)
        return;
    removalAsked = selected.id;
    const boost::filesystem::path root = StickPath::ToNative(selected.path);
    roots->Ask(root, [this, usbId = selected.id, root](bool answers) {
        // Discovery told first, and its removal was shown.
        if (removalAsked != usbId)
            return;
        removalAsked.reset();
        if (!answers)
            TakeOutVanished(usbId, root);
        Raise(Events::UsbRemove());
    });
}

// Discovery may still list a stick whose root did not answer (a stick that
// blinked, a mount that hung for a while): its root is watched, and once it
// answers again, discovery reports the stick anew.
void Common::TakeOutVanished(UsbInfo::Id usbId, const boost::filesystem::path& root)
{
    const UsbInfo usb = UsbStorage::Instance().GetUsb(usbId);
    if (!usb.IsValid())
        return;
    LOG(Debug) << "Usb: " << usbId << " is gone";
    roots->Watch(usbId, root);
    TakeOut(usb);
}

void Common::RediscoverUsb(UsbInfo::Id usbId)
{
    LOG(Debug) << "Usb: " << usbId << " answers again";
    Invoke(usbManager.get(), "RediscoverUsb", Qt::QueuedConnection, Q_ARG(UsbInfo::Id, usbId));
}

// A root check reads nothing from the stick: unusable answers are the
// service's fault, which a retry may mend.
void Common::OnRootUpdates(MetadataChecker::Result result)
{
    if (IsStaleCheckResult(result))
        return;
    switch (result) {
    case MetadataChecker::Ok:
        Raise(Events::RootUpdate());
        Invoke(usbManager.get(), "StartUsbDiscovery", Qt::DirectConnection);
        return;
    case MetadataChecker::InvalidMetadata:
    case MetadataChecker::ServerError:
        return Raise(Events::ServerError());
    case MetadataChecker::NoConnection:
        return Raise(Events::NoConnection());
    case MetadataChecker::NoMetadata:
        return Raise(Events::NoMetadata());
    default:
        throw std::logic_error("Failed to check root updates: result is not supported");
    }
}

void Common::OnRelatedUpdates(MetadataChecker::Result result)
{
    if (IsStaleCheckResult(result))
        return;
    switch (result) {
    case MetadataChecker::Ok:
        return RaiseOffer();
    case MetadataChecker::InvalidMetadata:
        return Raise(Events::InvalidMetadata());
    case MetadataChecker::NoConnection:
        return Raise(Events::NoConnection());
    case MetadataChecker::NoSubscription:
        return Raise(Events::NoSubscription());
    case MetadataChecker::ServerError:
        return Raise(Events::ServerError());
    case MetadataChecker::SubscriptionExpired:
        return Raise(Events::SubscriptionExpired());
    case MetadataChecker::UsbRemoved:
        return ConfirmRemoval();
    case MetadataChecker::NoMetadata:
        return Raise(Events::NoMetadata());
    }
    throw std::logic_error("Failed to check related updates: result is not supported");
}

// The catalogue is read now, not when the check ended: a result that arrives
// after a newer check has emptied the catalogue is stale.
void Common::RaiseOffer()
{
    const MapStorage& maps = MapStorage::Instance();
    if (maps.GetMandatoryMap().IsValid())
        return Raise(Events::MandatoryUpdate());
    if (maps.GetOptionalMap().IsValid())
        return Raise(Events::OptionalUpdate());
    if (maps.GetInstalledMap().IsValid())
        return Raise(Events::UpToDate());
    LOG(Error) << "Failed to check related updates: no valid map found";
}

void Common::OnMapOperationStarted()
{
    if (MapStorage::Instance().GetDownloadingMap().IsValid())
        Raise(Events::MapDownloadStarted());
    if (MapStorage::Instance().GetDeletingMap().IsValid())
        Raise(Events::MapDeletionStarted());
}

// A check ends the operation that ran before it, but a result already on its
// way would pass for the check's own.
void Common::OnMapOperationFinished(MapDownloader::Result result)
{
    if (context<StateMachine>().state_cast<const MapUpdateCheck*>()) {
        LOG(Debug) << "Dropped map operation result: " << result << " while checking for updates";
        return;
    }
    switch (result) {
    case MapDownloader::Ok:
        return Raise(Events::FinishDownload());
    case MapDownloader::Aborted:
        return Raise(Events::CancelDownload());
    case MapDownloader::NoConnection:
        return Raise(Events::NoConnection());
    case MapDownloader::ServerError:
        return Raise(Events::ServerError());
    case MapDownloader::UsbBlocked:
        return Raise(Events::UsbBlocked());
    case MapDownloader::UsbTooSmall:
        return Raise(Events::UsbTooSmall());
    case MapDownloader::UsbFull:
        return Raise(Events::UsbFull());
    case MapDownloader::UsbRemoved:
        return ConfirmRemoval();
    }
    throw std::logic_error("Failed to finish map operation: result is not supported");
}

bool Common::SelectFirstUsb(std::initializer_list<UsbInfo::State> states)
{
    UsbStorage& usbs = UsbStorage::Instance();
    for (UsbInfo::State state : states) {
        const UsbStorage::Usbs found = usbs.GetUsbs(state);
        if (found.empty())
            continue;
        UsbInfo usb = found.begin()->second;
        usb.selected = true;
        usbs.UpdateUsb(usb);
        return true;
    }
    return false;
}

} // namespace States
