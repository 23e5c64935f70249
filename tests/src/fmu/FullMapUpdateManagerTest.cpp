#include "FullMapUpdateManager.h"
#include "FakeClient.h"
#include "MapStorage.h"
#include "StickPath.h"
#include "TarArchive.h"
#include "UsbStorage.h"

#include <QCoreApplication>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

namespace fs = boost::filesystem;
using Results = std::vector<MapDownloader::Result>;

constexpr std::int64_t kSpace = 1000000;
const MapInfo::Id kMapId = "EUR_2024_05";
const QByteArray kMeta = "<tns:metadata/>";

// The manager downloading and removing maps with a fake archive client on a stick folder.
class FullMapUpdateManagerTest : public ::testing::Test {
protected:
    FullMapUpdateManagerTest()
    {
        MapStorage::Instance().Clear();
        MapStorage::Instance().SetSubscription({QDate(2099, 1, 1), kSpace, kSpace});
        Install(manager.Downloader());
        QObject::connect(&manager, &FullMapUpdateManager::OperationStarted, [this] { ++started; });
        QObject::connect(&manager, &FullMapUpdateManager::OperationFinished,
            [this](MapDownloader::Result result) { finished.push_back(result); });
        SelectStick(stick.path());
        archive.File("EUR.meta.xml", kMeta)
            .Folder("DATA")
            .File("DATA/ROUTING.NDS", QByteArray("0123456789abcdef").repeated(190))
            .File("DATA/T0.NDS", QByteArray(700, 'x'))
            .File("README.TXT", {});
        Store(archive);
    }

    void Install(MapDownloader& downloader)
    {
        downloader.SetClientFactory([this](const std::string&) { return std::make_unique<FakeClient>(service); });
        downloader.SetSpaceQuery([this](const fs::path&, boost::system::error_code&) { return space; });
    }
    static void SelectStick(const QString& root)
    {
        UsbInfo usb;
        usb.id = 7;
        usb.path = StickPath::ToWide(root.toStdString());
        usb.state = UsbInfo::ValidMetadata;
        usb.selected = true;
        UsbStorage::Instance().UpdateUsb(usb);
    }
    static MapInfo Store(const TarArchive& archive, MapInfo::State state = MapInfo::Available)
    {
        MapInfo map;
        map.id = kMapId;
        map.state = state;
        map.url = "https://127.0.0.1/files/EUR.tar";
        map.checksum = archive.Md5();
        map.size = archive.Bytes().size();
        MapStorage::Instance().UpdateMap(map);
        return map;
    }
    // Starts the stored map's download and feeds the archive's first bytes (all: and ends it).
    bool Download(const TarArchive& archive, int bytes = 1 << 30)
    {
        manager.DownloadMap(kMapId);
        const bool fed = service->Feed(archive.Bytes().left(bytes));
        if (fed && bytes >= archive.Bytes().size())
            service->Finish(Brel::IResponse::Ok);
        return fed;
    }
    static MapInfo Stored() { return MapStorage::Instance().FindMap(kMapId); }
    static std::int64_t Space() { return MapStorage::Instance().GetSubscription().availableMapSpace; }

    QTemporaryDir stick;
    QString root = stick.path() + "/VexmarNDSFull";
    std::shared_ptr<FakeClient::Service> service = std::make_shared<FakeClient::Service>();
    fs::space_info space {1u << 30, 1u << 30, 1u << 30};
    FullMapUpdateManager manager {std::make_unique<MetadataChecker>(std::make_unique<FakeClient>(service))};
    TarArchive archive;
    int started = 0;
    Results finished;
};

TEST_F(FullMapUpdateManagerTest, FullDownloadUnpacksTheArchiveCopiesItsMetadataAndLeavesTheMapPending)
{
    TestFiles::Write(root + "/OLD/OLD.NDS", "an earlier map");
    ASSERT_TRUE(Download(archive));

    EXPECT_EQ(Results {MapDownloader::Ok}, finished);
    TarArchive::Tree expected {{"EUR", "<folder>"}, {"EUR.meta.xml", kMeta}};
    for (const auto& entry : archive.Entries())
        expected["EUR/" + entry.first] = entry.second;
    EXPECT_EQ(expected, TarArchive::ReadTree(root));
    EXPECT_EQ(MapInfo::Pending, Stored().state);
    EXPECT_EQ(Stored().size, Stored().downloaded);
    EXPECT_EQ(kSpace - Stored().size, Space());
}

TEST_F(FullMapUpdateManagerTest, ChecksumOrMetadataFileMismatchIsAServerError)
{
    MapInfo wrong = Store(archive);
    wrong.checksum[0] = wrong.checksum[0] == '0' ? '1' : '0';
    MapStorage::Instance().UpdateMap(wrong);
    ASSERT_TRUE(Download(archive));
    TarArchive deeper;
    deeper.Folder("EUR").File("EUR/EUR.meta.xml", kMeta);
    Store(deeper, MapInfo::Downloading);
    ASSERT_TRUE(Download(deeper));

    EXPECT_EQ((Results {MapDownloader::ServerError, MapDownloader::ServerError}), finished);
    EXPECT_FALSE(QFileInfo::exists(root + "/EUR.meta.xml"));
    EXPECT_EQ(MapInfo::Downloading, Stored().state);
}

TEST_F(FullMapUpdateManagerTest, UnusableArchiveNamesTouchNothing)
{
    TestFiles::Write(root + "/OLD.NDS", "an earlier map");
    MapInfo map = Stored();
    for (const char* name : {"", ".tar", "..", "...tar", "a\\b.tar"}) {
        map.url = std::string("https://127.0.0.1/files/") + name;
        manager.Downloader().Download(root.toStdString(), map);
    }
    EXPECT_EQ(Results(5, MapDownloader::ServerError), finished);
    EXPECT_TRUE(QFileInfo::exists(root + "/OLD.NDS"));
    EXPECT_TRUE(service->sent.empty());
}

TEST_F(FullMapUpdateManagerTest, StickTooSmallOrFullIsReportedAtOnce)
{
    const auto size = static_cast<std::uintmax_t>(Stored().size);
    space = {size - 1, size - 1, size - 1};
    manager.DownloadMap(kMapId);
    space = {size, size, size - 1};
    manager.DownloadMap(kMapId);
    EXPECT_EQ((Results {MapDownloader::UsbTooSmall, MapDownloader::UsbFull}), finished);
    EXPECT_TRUE(service->sent.empty());
}

TEST_F(FullMapUpdateManagerTest, StickPulledMidDownloadIsNoticedByTheNextChunk)
{
    // Into the data of an open file, which the pulled stick does not refuse.
    ASSERT_TRUE(Download(archive, 2100));
    QDir(root).removeRecursively();
    EXPECT_FALSE(service->Feed(archive.Bytes().mid(2100, 500)));
    EXPECT_EQ(Results {MapDownloader::UsbRemoved}, finished);
}

// Arrives whole and verified, but ends inside an entry: not all of it is on the stick.
TEST_F(FullMapUpdateManagerTest, ArchiveEndingInsideAnEntryIsABlockedStick)
{
    MapInfo map = Stored();
    map.checksum = QCryptographicHash::hash(archive.Bytes().left(2100), QCryptographicHash::Md5).toHex().toStdString();
    MapStorage::Instance().UpdateMap(map);
    ASSERT_TRUE(Download(archive, 2100));
    service->Finish(Brel::IResponse::Ok);
    EXPECT_EQ(Results {MapDownloader::UsbBlocked}, finished);
}

TEST_F(FullMapUpdateManagerTest, UnwritableStickGivesAResultInsteadOfAnException)
{
    TestFiles::Write(stick.path() + "/FILE", "not a folder");
    SelectStick(stick.path() + "/FILE");
    manager.DownloadMap(kMapId);
    SelectStick(stick.path() + "/GONE");
    manager.DownloadMap(kMapId);
    EXPECT_EQ((Results {MapDownloader::UsbBlocked, MapDownloader::UsbRemoved}), finished);
    EXPECT_FALSE(QFileInfo::exists(stick.path() + "/GONE"));
}

TEST_F(FullMapUpdateManagerTest, NewDownloadDeletesThePreviousRequestBeforeEmptyingItsFolder)
{
    ASSERT_TRUE(Download(archive, 1024));
    bool folderPresent = false;
    service->onRequestDeleted = [&] { folderPresent = QFileInfo::exists(root + "/EUR/EUR.meta.xml"); };
    manager.Downloader().Download(root.toStdString(), Stored());
    EXPECT_TRUE(folderPresent);
}

TEST_F(FullMapUpdateManagerTest, AbortReportsEachRemovedFileAndLeavesNoFolder)
{
    std::vector<std::int64_t> progress;
    MapDownloader downloader([&](std::int64_t bytes) { progress.push_back(bytes); }, {});
    Install(downloader);
    downloader.Download(root.toStdString(), Stored());
    ASSERT_TRUE(service->Feed(archive.Bytes()));
    service->Finish(Brel::IResponse::Ok);
    progress.clear();
    downloader.Abort();

    std::sort(progress.begin(), progress.end());
    EXPECT_EQ((std::vector<std::int64_t> {-3040, -700, -kMeta.size(), -kMeta.size(), 0}), progress);
    EXPECT_FALSE(QFileInfo::exists(root));
    EXPECT_TRUE(QFileInfo::exists(stick.path()));
}

TEST_F(FullMapUpdateManagerTest, ProgressIsClampedToTheSizeAndRemovalGivesTheSpaceBack)
{
    MapInfo map = Stored();
    map.downloaded = map.size - 50;
    MapStorage::Instance().UpdateMap(map);
    ASSERT_TRUE(Download(archive, 100));
    EXPECT_EQ(map.size, Stored().downloaded);
    EXPECT_EQ(kSpace - 100, Space());

    // The removal reports more than was counted as downloaded.
    const int removed = map.size + 2000;
    TestFiles::Write(root + "/EUR/BIG.NDS", QByteArray(removed, 'x'));
    manager.AbortMapDownload();
    EXPECT_EQ(Results {MapDownloader::Aborted}, finished);
    EXPECT_EQ(MapInfo::Available, Stored().state);
    EXPECT_EQ(0, Stored().downloaded);
    EXPECT_EQ(kSpace - 100 + removed, Space());
}

TEST_F(FullMapUpdateManagerTest, DownloadOfAMapInAnotherStateOrUnknownIsAServerError)
{
    Store(archive, MapInfo::Pending);
    manager.DownloadMap(kMapId);
    manager.DownloadMap("UNKNOWN");
    EXPECT_EQ(0, started);
    EXPECT_EQ((Results {MapDownloader::ServerError, MapDownloader::ServerError}), finished);
    EXPECT_EQ(MapInfo::Pending, Stored().state);
}

TEST_F(FullMapUpdateManagerTest, RetryResumesALostConnectionAndStartsAfreshAfterAFullStick)
{
    ASSERT_TRUE(Download(archive, 1024));
    service->Finish(Brel::IResponse::NoConnection);
    manager.DownloadMap(kMapId);
    EXPECT_EQ(1u, service->Ids("Retry").size());

    space.available = 10;
    ASSERT_FALSE(service->Feed(archive.Bytes().mid(1024, 512)));
    EXPECT_EQ(MapInfo::Downloading, Stored().state);
    EXPECT_EQ(1536, Stored().downloaded);
    space.available = 1u << 30;
    manager.DownloadMap(kMapId);

    EXPECT_EQ((Results {MapDownloader::NoConnection, MapDownloader::UsbFull}), finished);
    EXPECT_EQ(2u, service->Ids("MapContent").size());
    EXPECT_EQ(0, Stored().downloaded);
    EXPECT_EQ(kSpace, Space());
}

TEST_F(FullMapUpdateManagerTest, CancelWithNothingToRemoveEndsAborted)
{
    Store(archive);
    manager.AbortMapDownload();
    EXPECT_EQ(1, started);
    EXPECT_EQ(Results {MapDownloader::Aborted}, finished);
}

} // namespace
