#pragma once

#include "MapDownloader.h"
#include "MapInfo.h"
#include "MetadataChecker.h"

#include <QObject>

#include <boost/filesystem/path.hpp>

#include <cstdint>
#include <memory>

// The map update core as the state machine sees it: slots invoked by name
// (queued) on the map update thread, results as signals, and the catalogue
// kept up to date with the state and progress of the map being downloaded
// or removed and the head unit's available map space.
class FullMapUpdateManager : public QObject {
    Q_OBJECT

public:
    explicit FullMapUpdateManager(QObject* parent = nullptr);
    // Tests: a checker of their own (answering from a table).
    explicit FullMapUpdateManager(std::unique_ptr<MetadataChecker> checker, QObject* parent = nullptr);
    ~FullMapUpdateManager() override;

    // Test seam: the downloader's client factory and space query.
    MapDownloader& Downloader() { return *mapDownloader; }

signals:
    void RootUpdatesChecked(MetadataChecker::Result result);
    void RelatedUpdatesChecked(MetadataChecker::Result result);
    void OperationStarted();
    void OperationFinished(MapDownloader::Result result);
    // A check was taken; the results sent before it belong to earlier checks.
    void CheckStarted();

public slots:
    void CheckMapUpdates();
    void AbortCheck();
    void UpdateLocale();
    void DownloadMap(MapInfo::Id mapId);
    void AbortMapDownload();
    // Must run on the manager's own thread, before that thread quits: ends the
    // check and the download in flight and lets go of every client, so that
    // nothing of them is left to run or to be torn down from another thread.
    // Afterwards the manager emits nothing and ignores every slot.
    void Stop();

private:
    static void RegisterMetaTypes();
    static boost::filesystem::path Destination(const std::wstring& stickRoot);
    void StartDownload(MapInfo map, const std::wstring& stickRoot);
    void RestartDownload(MapInfo map, const std::wstring& stickRoot);
    void BeginDownload(MapInfo map, const std::wstring& stickRoot);
    void OnOperationProgress(std::int64_t bytes);
    void OnOperationResult(MapDownloader::Result result);
    void MarkDownloaded();
    void MarkRemoved();
    void TakeSpace(std::int64_t bytes);
    void GiveBackTakenSpace();

    std::unique_ptr<MetadataChecker> metadataChecker;
    // Destroyed first: deleting its request stops and joins its writer.
    std::unique_ptr<MapDownloader> mapDownloader;
    // What the map files on the stick have taken from the head unit's
    // available map space since the last check read it.
    std::int64_t spaceTaken = 0;
    bool stopped = false;
};
