#include "FullMapUpdateManager.h"
#include "FakeClient.h"
#include "LogCapture.h"
#include "MapDownloaderTestArchive.h"
#include "MapDownloaderTestClient.h"
#include "MapStorage.h"
#include "StickPath.h"
#include "UsbStorage.h"

#include <QCoreApplication>
#include <QTemporaryDir>

#include <boost/filesystem/fstream.hpp>
#include <boost/filesystem/operations.hpp>

#include <gtest/gtest.h>

namespace fs = boost::filesystem;

namespace {

using Archive = MapDownloaderTestArchive;
using Line = MapDownloaderTestClient::Line;
using ResultList = std::vector<MapDownloader::Result>;

constexpr std::int64_t kSpace = 1000000;
const MapInfo::Id kMapId = "EUR_2024_05";

class FullMapUpdateManagerTest : public ::testing::Test {
protected:
    FullMapUpdateManagerTest()
        : manager(std::make_unique<MetadataChecker>(std::make_unique<FakeClient>(service)))
    {
        MapDownloaderTestClient::Install(manager.Downloader(), line);
        archive.File("EUR.meta.xml", "<meta/>").Folder("DATA/").File("DATA/A.NDS", Archive::Contents(2000, 1));
        QObject::connect(&manager, &FullMapUpdateManager::OperationStarted, [this] {
            ++started;
            stateWhenStarted = MapStorage::Instance().FindMap(kMapId).state;
        });
        QObject::connect(&manager, &FullMapUpdateManager::OperationFinished,
            [this](MapDownloader::Result result) { finished.push_back(result); });
        SubscriptionInfo subscription;
        subscription.availableMapSpace = kSpace;
        MapStorage::Instance().SetSubscription(subscription);
    }

    void SelectStick(UsbInfo::State state = UsbInfo::ValidMetadata)
    {
        UsbInfo usb;
        usb.id = 7;
        usb.path = StickPath::ToWide(stick.path().toStdString());
        usb.state = state;
        usb.selected = true;
        UsbStorage::Instance().UpdateUsb(usb);
    }

    MapInfo StoreMap(MapInfo::State state, std::int64_t downloaded = 0, const MapInfo::Id& id = kMapId)
    {
        MapInfo map;
        map.id = id;
        map.state = state;
        map.url = "https://127.0.0.1/files/EUR.tar";
        map.checksum = archive.Md5();
        map.size = archive.Bytes().size();
        map.downloaded = downloaded;
        MapStorage::Instance().UpdateMap(map);
        return map;
    }

    static MapInfo Stored(const MapInfo::Id& id = kMapId) { return MapStorage::Instance().FindMap(id); }
    static std::int64_t Space() { return MapStorage::Instance().GetSubscription().availableMapSpace; }

    fs::path Destination() const { return fs::path(stick.path().toStdString()) / "VexmarNDSFull"; }

    QTemporaryDir stick;
    std::shared_ptr<FakeService> service = std::make_shared<FakeService>();
    std::shared_ptr<Line> line = std::make_shared<Line>();
    FullMapUpdateManager manager;
    Archive archive;
    int started = 0;
    MapInfo::State stateWhenStarted = MapInfo::Unknown;
    ResultList finished;
    LogCapture log;
};

TEST_F(FullMapUpdateManagerTest, DownloadInvokedByNameEndsWithThePendingMap)
{
    SelectStick();
    StoreMap(MapInfo::Available);
    ASSERT_TRUE(QMetaObject::invokeMethod(&manager, "DownloadMap", Qt::QueuedConnection, Q_ARG(MapInfo::Id, kMapId)));
    QCoreApplication::processEvents();
    ASSERT_EQ(1, started);
    EXPECT_EQ(MapInfo::Downloading, stateWhenStarted);

    ASSERT_TRUE(line->Feed(archive.Bytes(), 1000));
    line->Finish(Brel::IResponse::Ok);

    EXPECT_EQ(ResultList({MapDownloader::Ok}), finished);
    EXPECT_EQ(MapInfo::Pending, Stored().state);
    EXPECT_EQ(Stored().size, Stored().downloaded);
    EXPECT_EQ(kSpace - archive.Bytes().size(), Space());
    EXPECT_TRUE(fs::is_regular_file(Destination() / "EUR.meta.xml"));
}

TEST_F(FullMapUpdateManagerTest, ProgressIsClampedToTheSizeAndRemovalGivesTheSpaceBack)
{
    SelectStick();
    MapInfo map = StoreMap(MapInfo::Available);
    map.downloaded = map.size - 50;
    MapStorage::Instance().UpdateMap(map);
    manager.DownloadMap(kMapId);
    ASSERT_TRUE(line->Feed(archive.Bytes().left(100)));
    EXPECT_EQ(map.size, Stored().downloaded);
    EXPECT_EQ(kSpace - 100, Space());

    // The removal reports more than was counted as downloaded.
    const std::int64_t removed = map.size + 2000;
    fs::ofstream(Destination() / "EUR" / "BIG.NDS") << std::string(static_cast<std::size_t>(removed), 'x');
    manager.AbortMapDownload();

    EXPECT_EQ(ResultList({MapDownloader::Aborted}), finished);
    EXPECT_EQ(MapInfo::Available, Stored().state);
    EXPECT_EQ(0, Stored().downloaded);
    EXPECT_EQ(kSpace - 100 + removed, Space());
    EXPECT_FALSE(fs::exists(Destination()));
}

TEST_F(FullMapUpdateManagerTest, DownloadAndRemovalGiveTheWholeSpaceBack)
{
    SelectStick();
    StoreMap(MapInfo::Available);
    manager.DownloadMap(kMapId);
    ASSERT_TRUE(line->Feed(archive.Bytes()));
    line->Finish(Brel::IResponse::Ok);
    manager.AbortMapDownload();

    EXPECT_EQ(ResultList({MapDownloader::Ok, MapDownloader::Aborted}), finished);
    EXPECT_EQ(2, started);
    EXPECT_EQ(MapInfo::Deleting, stateWhenStarted);
    EXPECT_EQ(MapInfo::Available, Stored().state);
    EXPECT_EQ(0, Stored().downloaded);
    EXPECT_EQ(kSpace, Space());
}

TEST_F(FullMapUpdateManagerTest, RefusedDownloadsEndWithoutStarting)
{
    StoreMap(MapInfo::Available);
    manager.DownloadMap(kMapId);
    EXPECT_EQ(1, log.Count(Log::Error, "Usb was removed"));

    SelectStick();
    StoreMap(MapInfo::Pending, 10);
    manager.DownloadMap(kMapId);
    manager.DownloadMap("UNKNOWN");

    EXPECT_EQ(0, started);
    EXPECT_EQ(ResultList({MapDownloader::Aborted, MapDownloader::ServerError, MapDownloader::ServerError}), finished);
    EXPECT_EQ(2, log.Count(Log::Error, "Failed to download map: invalid map state"));
    EXPECT_EQ(MapInfo::Pending, Stored().state);
    EXPECT_EQ(1u, MapStorage::Instance().GetMaps().size());
    EXPECT_EQ(0, line->contentRequests);
}

TEST_F(FullMapUpdateManagerTest, FailedDownloadStaysDownloadingAndRetryResumesOrStartsAfresh)
{
    SelectStick();
    StoreMap(MapInfo::Available);
    manager.DownloadMap(kMapId);
    ASSERT_TRUE(line->Feed(archive.Bytes().left(1024)));
    line->Finish(Brel::IResponse::NoConnection);
    manager.DownloadMap(kMapId);
    EXPECT_EQ(1, line->automaticRetries);
    EXPECT_EQ(1, line->contentRequests);

    line->space.available = 10;
    ASSERT_FALSE(line->Feed(archive.Bytes().mid(1024, 512)));
    EXPECT_EQ(MapInfo::Downloading, Stored().state);
    EXPECT_EQ(1536, Stored().downloaded);

    line->space.available = MapDownloaderTestClient::kGigabyte;
    manager.DownloadMap(kMapId);
    EXPECT_EQ(2, line->contentRequests);
    EXPECT_EQ(1, line->automaticRetries);
    EXPECT_EQ(0, Stored().downloaded);
    EXPECT_EQ(kSpace, Space());

    EXPECT_EQ(3, started);
    EXPECT_EQ(ResultList({MapDownloader::NoConnection, MapDownloader::UsbFull}), finished);
}

TEST_F(FullMapUpdateManagerTest, CancelPrefersTheDownloadingMapAndEndsAbortedWithNothingToRemove)
{
    manager.AbortMapDownload();
    EXPECT_EQ(1, log.Count(Log::Warning, "No suitable map found"));

    StoreMap(MapInfo::Pending, 0, "PENDING");
    StoreMap(MapInfo::Downloading);
    manager.AbortMapDownload();

    EXPECT_EQ(2, started);
    EXPECT_EQ(ResultList({MapDownloader::Aborted, MapDownloader::UsbRemoved}), finished);
    EXPECT_EQ(MapInfo::Deleting, Stored().state);
    EXPECT_EQ(MapInfo::Pending, Stored("PENDING").state);
}

TEST_F(FullMapUpdateManagerTest, CheckIsRootWithoutStickMetadataAndRelatedOtherwise)
{
    std::vector<MetadataChecker::Result> related;
    QObject::connect(&manager, &FullMapUpdateManager::RelatedUpdatesChecked,
        [&](MetadataChecker::Result result) { related.push_back(result); });
    manager.CheckMapUpdates();
    SelectStick(UsbInfo::NoMetadata);
    manager.CheckMapUpdates();
    SelectStick(UsbInfo::InvalidMetadata);
    manager.CheckMapUpdates();

    ASSERT_EQ(2u, service->SentRequests().size());
    EXPECT_EQ("AllRoots", service->SentRequests()[0].kind);
    EXPECT_EQ("AllRoots", service->SentRequests()[1].kind);
    EXPECT_EQ(std::vector<MetadataChecker::Result>({MetadataChecker::InvalidMetadata}), related);
}

} // namespace
