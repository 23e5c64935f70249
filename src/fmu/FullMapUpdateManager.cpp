#include "FullMapUpdateManager.h"

#include "Config.h"
#include "Log.h"
#include "MapStorage.h"
#include "StickPath.h"
#include "UsbStorage.h"

#include <QMetaType>

#include <algorithm>
#include <utility>

FullMapUpdateManager::FullMapUpdateManager(QObject* parent)
    : FullMapUpdateManager(std::make_unique<MetadataChecker>(), parent)
{
}

FullMapUpdateManager::FullMapUpdateManager(std::unique_ptr<MetadataChecker> checker, QObject* parent)
    : QObject(parent)
    , metadataChecker(std::move(checker))
    , mapDownloader(std::make_unique<MapDownloader>([this](std::int64_t bytes) { OnOperationProgress(bytes); },
          [this](MapDownloader::Result result) { OnOperationResult(result); }))
{
    RegisterMetaTypes();
}

FullMapUpdateManager::~FullMapUpdateManager() = default;

void FullMapUpdateManager::RegisterMetaTypes()
{
    qRegisterMetaType<UsbInfo::Id>("UsbInfo::Id");
    qRegisterMetaType<MapInfo::Id>("MapInfo::Id");
    qRegisterMetaType<MetadataChecker::Result>("MetadataChecker::Result");
    qRegisterMetaType<MapDownloader::Result>("MapDownloader::Result");
}

// A check starts afresh: a download still in flight (on a stick pulled
// meanwhile, say) ends without a result, so nothing of it reaches the new
// check. The check resets or re-reads the space figure, except for a stick
// with invalid metadata, which leaves the catalogue as it is.
void FullMapUpdateManager::CheckMapUpdates()
{
    if (stopped)
        return;
    // Before anything of this check, which may end at once.
    emit CheckStarted();
    mapDownloader->Drop();
    const UsbInfo usb = UsbStorage::Instance().GetSelectedUsb();
    if (usb.state != UsbInfo::InvalidMetadata)
        spaceTaken = 0;
    if (usb.path.empty() || usb.state == UsbInfo::NoMetadata) {
        LOG(Info) << "Checking root full map updates";
        metadataChecker->CheckRootUpdates([this](MetadataChecker::Result result) { emit RootUpdatesChecked(result); });
        return;
    }
    LOG(Info) << "Checking related full map updates";
    metadataChecker->CheckRelatedUpdates(
        usb, [this](MetadataChecker::Result result) { emit RelatedUpdatesChecked(result); });
}

void FullMapUpdateManager::AbortCheck()
{
    if (stopped)
        return;
    LOG(Info) << "Aborting full map updates check";
    metadataChecker->Abort();
    mapDownloader->Abort();
}

void FullMapUpdateManager::UpdateLocale()
{
    if (stopped)
        return;
    LOG(Info) << "Updating map names";
    metadataChecker->UpdateLocale();
}

// A map that cannot be downloaded (gone from the catalogue, being removed or
// already on the stick) ends as a server error instead of leaving the
// download page waiting.
void FullMapUpdateManager::DownloadMap(MapInfo::Id mapId)
{
    if (stopped)
        return;
    const UsbInfo usb = UsbStorage::Instance().GetSelectedUsb();
    if (!usb.IsValid()) {
        LOG(Error) << "Usb was removed";
        emit OperationFinished(MapDownloader::Aborted);
        return;
    }
    MapInfo map = MapStorage::Instance().FindMap(mapId);
    switch (map.state) {
    case MapInfo::Available:
        return StartDownload(std::move(map), usb.path);
    case MapInfo::Downloading:
        if (!mapDownloader->CanResume())
            return RestartDownload(std::move(map), usb.path);
        LOG(Info) << "Resuming map download: " << mapId;
        emit OperationStarted();
        mapDownloader->Resume();
        return;
    default:
        LOG(Error) << "Failed to download map: invalid map state";
        emit OperationFinished(MapDownloader::ServerError);
    }
}

void FullMapUpdateManager::StartDownload(MapInfo map, const std::wstring& stickRoot)
{
    LOG(Info) << "Downloading map: " << map.id;
    BeginDownload(std::move(map), stickRoot);
}

void FullMapUpdateManager::RestartDownload(MapInfo map, const std::wstring& stickRoot)
{
    LOG(Info) << "Restarting map download: " << map.id;
    map.downloaded = 0;
    BeginDownload(std::move(map), stickRoot);
}

// The catalogue holds the map as Downloading before anyone hears of the start.
// The download empties the stick's map folder first, so whatever was on it
// gives its space back.
void FullMapUpdateManager::BeginDownload(MapInfo map, const std::wstring& stickRoot)
{
    GiveBackTakenSpace();
    map.state = MapInfo::Downloading;
    MapStorage::Instance().UpdateMap(map);
    emit OperationStarted();
    mapDownloader->Download(Destination(stickRoot), map);
}

boost::filesystem::path FullMapUpdateManager::Destination(const std::wstring& stickRoot)
{
    return StickPath::ToNative(stickRoot) / Config::Instance().fullDir;
}

// With nothing to remove the cancellation still has to end, and it ends on
// Aborted.
void FullMapUpdateManager::AbortMapDownload()
{
    if (stopped)
        return;
    MapStorage& storage = MapStorage::Instance();
    MapInfo map = storage.GetDownloadingMap();
    if (!map.IsValid())
        map = storage.GetPendingMap();
    if (!map.IsValid()) {
        emit OperationStarted();
        LOG(Warning) << "No suitable map found";
        emit OperationFinished(MapDownloader::Aborted);
        return;
    }
    map.state = MapInfo::Deleting;
    storage.UpdateMap(map);
    emit OperationStarted();
    mapDownloader->Abort();
}

void FullMapUpdateManager::Stop()
{
    LOG(Info) << "Stopping map updates";
    stopped = true;
    mapDownloader->Drop();
    metadataChecker->Shutdown();
}

// A removal gives back no more than the downloads took: files that were on the
// stick before did not come out of the head unit's space.
void FullMapUpdateManager::OnOperationProgress(std::int64_t bytes)
{
    TakeSpace(bytes > 0 ? bytes : -std::min(-bytes, spaceTaken));
    MapStorage& storage = MapStorage::Instance();
    MapInfo map = storage.GetDownloadingMap();
    if (map.IsValid()) {
        LOG(Debug) << "Bytes downloaded: " << bytes;
    } else {
        map = storage.GetDeletingMap();
        if (!map.IsValid())
            return;
        LOG(Debug) << "Bytes removed: " << -bytes;
    }
    // The upper bound first, so that a negative size ends at 0.
    map.downloaded = std::max<std::int64_t>(std::min(map.downloaded + bytes, map.size), 0);
    storage.UpdateMap(map);
}

void FullMapUpdateManager::OnOperationResult(MapDownloader::Result result)
{
    LOG(Debug) << "Map operation finished with result: " << result;
    if (result == MapDownloader::Ok)
        MarkDownloaded();
    else if (result == MapDownloader::Aborted)
        MarkRemoved();
    emit OperationFinished(result);
}

void FullMapUpdateManager::MarkDownloaded()
{
    MapInfo map = MapStorage::Instance().GetDownloadingMap();
    if (!map.IsValid())
        return;
    map.downloaded = map.size;
    map.state = MapInfo::Pending;
    MapStorage::Instance().UpdateMap(map);
}

// The stick's map folder is gone: everything the downloads took goes back,
// also what the removal did not report (a tar stream is larger than its files).
void FullMapUpdateManager::MarkRemoved()
{
    GiveBackTakenSpace();
    MapStorage& storage = MapStorage::Instance();
    MapInfo map = storage.GetDeletingMap();
    if (!map.IsValid())
        map = storage.GetDownloadingMap();
    if (!map.IsValid())
        map = storage.GetPendingMap();
    if (!map.IsValid())
        return;
    map.state = MapInfo::Available;
    map.downloaded = 0;
    storage.UpdateMap(map);
}

// Not clamped: the figure may fall below 0; the footer shows it clamped.
void FullMapUpdateManager::TakeSpace(std::int64_t bytes)
{
    spaceTaken += bytes;
    MapStorage& storage = MapStorage::Instance();
    SubscriptionInfo subscription = storage.GetSubscription();
    subscription.availableMapSpace -= bytes;
    storage.SetSubscription(subscription);
}

void FullMapUpdateManager::GiveBackTakenSpace()
{
    TakeSpace(-spaceTaken);
}
