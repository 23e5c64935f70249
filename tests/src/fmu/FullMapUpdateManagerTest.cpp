#include "FmuTest.h"
#include "LogCapture.h"
#include "TarTestArchive.h"

namespace {

using Results = std::vector<MapDownloader::Result>;

constexpr std::int64_t kSpace = 1000000;

const auto Tar = TarTestArchive::Of;
const auto Md5 = TarTestArchive::Md5;

const auto SelectStick = [](const QString& root) {
    UsbStorage::Instance().UpdateUsb({7, StickPath::ToWide(root.toStdString()), 0, 0, UsbInfo::ValidMetadata, true});
};

class FullMapUpdateManagerTest : public ::testing::Test {
protected:
    FullMapUpdateManagerTest()
    {
        MapStorage::Instance().SetSubscription({QDate(2099, 1, 1), kSpace, kSpace});
        manager.Downloader().SetClientFactory([this](auto&) { return service.NewClient(); });
        manager.Downloader().SetSpaceQuery([this](auto&, auto&) { return space; });
        QObject::connect(&manager, &FullMapUpdateManager::OperationFinished,
            [this](MapDownloader::Result result) { finished.push_back(result); });
        SelectStick(stick.path());
        StoreMap(MapInfo::Available);
    }

    bool Download(const QByteArray& bytes)
    {
        manager.DownloadMap(Stored().id);
        return service.Feed(bytes);
    }
    void StoreMap(MapInfo::State state)
    {
        MapStorage::Instance().UpdateMap({MapInfo::Optional, state, "EUR_2024_05", L"", "", "", "", Md5(archive),
            "https://127.0.0.1/files/EUR.tar", 0, archive.size(), false});
    }
    static MapInfo Stored() { return MapStorage::Instance().FindMap("EUR_2024_05"); }
    static std::int64_t Space() { return MapStorage::Instance().GetSubscription().availableMapSpace; }

    QTemporaryDir stick;
    QString root = stick.path() + "/VexmarNDSFull";
    FakeService service;
    boost::filesystem::space_info space {1u << 30, 1u << 30, 1u << 30};
    FullMapUpdateManager manager {std::make_unique<MetadataChecker>(service.NewClient())};
    QByteArray archive = Tar({{"EUR.meta.xml", "<m/>"}, {"DATA/", ""}, {"DATA/A.NDS", QByteArray(3000, 'a')}});
    Results finished;
};

// Cut inside an entry (yet verified), a wrong checksum, the metadata file one level deeper: no announcement.
TEST_F(FullMapUpdateManagerTest, ArchivesThatDoNotVerifyOrEndInsideAnEntryFail)
{
    const QByteArray deeper = Tar({{"EUR/", ""}, {"EUR/EUR.meta.xml", "<m/>"}});
    MapInfo map = Stored();
    for (const QByteArray& bytes : {archive.left(2100), archive, deeper}) {
        map.checksum = Md5(bytes == archive ? "" : bytes);
        MapStorage::Instance().UpdateMap(map);
        ASSERT_TRUE(Download(bytes));
        service.Finish(Brel::IResponse::Ok);
        EXPECT_FALSE(QFileInfo::exists(root + "/EUR.meta.xml"));
    }
    EXPECT_EQ(Results(3, MapDownloader::ServerError), finished);
}

// None may leave the download page waiting; an unusable archive name must not touch the stick.
TEST_F(FullMapUpdateManagerTest, DownloadsThatCannotStartEndAtOnceWithAResult)
{
    MapInfo map = Stored();
    const auto size = static_cast<std::uintmax_t>(map.size);
    space = {size - 1, size - 1, size - 1};
    manager.DownloadMap(map.id);
    space = {size, size, size - 1};
    manager.DownloadMap(map.id);
    TestFiles::Write(stick.path() + "/FILE", "not a folder");
    SelectStick(stick.path() + "/FILE");
    manager.DownloadMap(map.id);
    manager.AbortMapDownload(); // a stick that cannot be written is still there
    SelectStick(stick.path() + "/GONE");
    manager.DownloadMap(map.id);
    StoreMap(MapInfo::Pending);
    manager.DownloadMap(map.id);
    TestFiles::Write(root + "/OLD.NDS", "an earlier map");
    for (const char* name : {"", ".tar", "..", "...tar", "a\\b.tar"}) {
        map.url = std::string("https://127.0.0.1/files/") + name;
        manager.Downloader().Download(root.toStdString(), map);
    }

    Results expected {MapDownloader::UsbTooSmall, MapDownloader::UsbFull, MapDownloader::UsbBlocked,
        MapDownloader::Aborted, MapDownloader::UsbRemoved};
    expected.resize(11, MapDownloader::ServerError);
    EXPECT_EQ(expected, finished);
    EXPECT_TRUE(QFileInfo::exists(root + "/OLD.NDS"));
    EXPECT_FALSE(QFileInfo::exists(stick.path() + "/GONE"));
    EXPECT_TRUE(service.sent.empty());
}

// The previous request goes before its folder is emptied; a stick pulled mid-download is noticed by the next chunk.
TEST_F(FullMapUpdateManagerTest, NewDownloadDropsThePreviousRequestFirstAndNoticesAPulledStick)
{
    ASSERT_TRUE(Download(archive.left(1024)));
    bool folderPresent = false;
    service.onRequestDeleted = [&] { folderPresent = QFileInfo::exists(root + "/EUR/EUR.meta.xml"); };
    manager.Downloader().Download(root.toStdString(), Stored());
    EXPECT_TRUE(folderPresent);
    service.onRequestDeleted = nullptr;
    // Into the data of an open file, which the pulled stick does not refuse.
    ASSERT_TRUE(service.Feed(archive.left(2100)));
    QDir(root).removeRecursively();
    EXPECT_FALSE(service.Feed(archive.mid(2100, 500)));
    EXPECT_EQ(Results {MapDownloader::UsbRemoved}, finished);
}

// A stick pulled halfway must not announce a half-removed map. Announcements made before and after their folders:
// however the directory lists them, some folder comes before some announcement.
TEST_F(FullMapUpdateManagerTest, AbortRemovesTheAnnouncementsFirstThenEachFileAndLeavesNoFolder)
{
    const std::vector<QString> maps {"EUR", "NAM", "EP_2025_05", "AS", "SA", "ME", "IN", "AU"};
    const auto announced = [&] {
        return std::count_if(maps.begin(), maps.end(),
            [&](const QString& map) { return QFileInfo::exists(root + "/" + map + ".meta.xml"); });
    };
    std::vector<std::pair<std::int64_t, long>> progress; // bytes, announcements still there
    MapDownloader downloader([&](std::int64_t bytes) { progress.emplace_back(bytes, announced()); }, {});
    MapInfo huge = Stored();
    huge.size = std::int64_t {1} << 60;
    downloader.Download(root.toStdString(), huge); // prepares the folder, then finds the stick too small
    for (std::size_t i = 0; i < maps.size(); ++i) {
        const QString announcement = root + "/" + maps[i] + ".meta.xml";
        if (i % 2)
            TestFiles::Write(announcement, "<meta/>");
        TestFiles::Write(root + "/" + maps[i] + "/A.NDS", QByteArray(3000, 'x'));
        if (i % 2 == 0)
            TestFiles::Write(announcement, "<meta/>");
    }
    for (const auto& [name, size] : {std::pair {"DATA/B.NDS", 700}, {"DATA/C/D.NDS", 0}})
        TestFiles::Write(root + "/EUR/" + name, QByteArray(size, 'x'));
    downloader.Abort();

    const long count = static_cast<long>(maps.size());
    ASSERT_EQ(maps.size() * 2 + 2, progress.size());
    for (long i = 0; i < count; ++i)
        EXPECT_EQ(progress[i], std::make_pair(std::int64_t {-7}, count - i)) << i;
    std::sort(progress.begin() + count, progress.end());
    decltype(progress) files(maps.size(), {-3000, 0});
    files.insert(files.end(), {{-700, 0}, {0, 0}});
    EXPECT_EQ(files, decltype(progress)(progress.begin() + count, progress.end()));
    EXPECT_FALSE(QFileInfo::exists(root));
}

// The removal reports more than was downloaded (files that were there before): the figure never rises above its
// start, and returns to it once the map is off the stick. The archive's stream is larger than the map.
TEST_F(FullMapUpdateManagerTest, SpaceIsTakenClampedAndGivenBackExactly)
{
    manager.AbortMapDownload(); // nothing to remove
    MapInfo map = Stored();
    map.downloaded = map.size - 50;
    MapStorage::Instance().UpdateMap(map);
    ASSERT_TRUE(Download(archive.left(100)));
    EXPECT_EQ(map.size, Stored().downloaded);
    EXPECT_EQ(kSpace - 100, Space());
    TestFiles::Write(root + "/EUR/BIG.NDS", QByteArray(map.size + 2000, 'x'));
    std::vector<std::int64_t> during, figures;
    {
        const LogCapture log([&](const LogCapture::Record& record) {
            if (record.message.rfind("Bytes removed: ", 0) == 0)
                during.push_back(Space());
        });
        manager.AbortMapDownload();
    }
    ASSERT_FALSE(during.empty());
    EXPECT_LE(*std::max_element(during.begin(), during.end()), kSpace);
    EXPECT_EQ(MapInfo::Available, Stored().state);
    EXPECT_EQ(0, Stored().downloaded);

    map = Stored();
    map.size = 3004;
    // A download with that checksum (the second fails verification, the third starts afresh), or a cancel.
    for (const std::string& checksum : Ids {"", Md5(archive), "", Md5("another archive"), Md5(archive), ""}) {
        if (checksum.empty()) {
            manager.AbortMapDownload();
        } else {
            map.checksum = checksum;
            MapStorage::Instance().UpdateMap(map);
            ASSERT_TRUE(Download(archive));
            service.Finish(Brel::IResponse::Ok);
        }
        figures.push_back(Space());
    }
    const std::int64_t taken = kSpace - archive.size();
    EXPECT_EQ((std::vector<std::int64_t> {kSpace, taken, kSpace, taken, taken, kSpace}), figures);
    EXPECT_EQ((Results {MapDownloader::Aborted, MapDownloader::Aborted, MapDownloader::Aborted, MapDownloader::Ok,
                  MapDownloader::Aborted, MapDownloader::ServerError, MapDownloader::Ok, MapDownloader::Aborted}),
        finished);
}

TEST_F(FullMapUpdateManagerTest, RetryResumesALostConnectionAndStartsAfreshAfterAFullStick)
{
    ASSERT_TRUE(Download(archive.left(1024)));
    service.Finish(Brel::IResponse::NoConnection);
    manager.DownloadMap(Stored().id);
    EXPECT_EQ(1u, service.Sent("Retry").size());
    space.available = 10;
    ASSERT_FALSE(service.Feed(archive.mid(1024, 512)));
    EXPECT_EQ(1536, Stored().downloaded);
    space.available = 1u << 30;
    manager.DownloadMap(Stored().id);

    EXPECT_EQ((Results {MapDownloader::NoConnection, MapDownloader::UsbFull}), finished);
    EXPECT_EQ(2u, service.Sent("MapContent").size());
    EXPECT_EQ(0, Stored().downloaded);
    EXPECT_EQ(kSpace, Space());
}

// Also a result reported at once (invalid metadata), so the machine can tell earlier results.
TEST_F(FullMapUpdateManagerTest, CheckIsAcknowledgedBeforeItsResult)
{
    Ids sent;
    QObject::connect(&manager, &FullMapUpdateManager::CheckStarted, [&sent] { sent.push_back("started"); });
    QObject::connect(&manager, &FullMapUpdateManager::RelatedUpdatesChecked,
        [&sent](MetadataChecker::Result) { sent.push_back("result"); });
    UsbStorage::Instance().UpdateUsb({7, L"/", 0, 0, UsbInfo::InvalidMetadata, true});
    manager.CheckMapUpdates();
    EXPECT_EQ((Ids {"started", "result"}), sent);
}

} // namespace
