#include "FullMapUpdateManager.h"
#include "Config.h"
#include "ContentService.h"
#include "FakeClient.h"
#include "LogCapture.h"
#include "MapStorage.h"
#include "ServiceDocuments.h"
#include "StickContent.h"
#include "StickPath.h"
#include "TarTestArchive.h"
#include "TestEnv.h"
#include "TestFiles.h"
#include "UsbStorage.h"

#include <QEventLoop>
#include <QTemporaryDir>
#include <QTimer>
#include <QUrlQuery>

namespace {

using Ids = std::vector<std::string>;
using Results = std::vector<MapDownloader::Result>;

constexpr std::int64_t kSpace = 1000000;
const std::string kUrl = "https://127.0.0.1/files/EUR.tar";

using Entries = TarTestArchive::Entries;
const auto Tar = TarTestArchive::Of;
const auto Md5 = TarTestArchive::Md5;

void SelectStick(const QString& root)
{
    UsbStorage::Instance().UpdateUsb({7, StickPath::ToWide(root.toStdString()), 0, 0, UsbInfo::ValidMetadata, true});
}

MapInfo StoreMap(const QByteArray& archive, const std::string& url, MapInfo::State state = MapInfo::Available)
{
    const MapInfo map {
        MapInfo::Optional, state, "EUR_2024_05", L"", "", "", "", Md5(archive), url, 0, archive.size(), false};
    MapStorage::Instance().UpdateMap(map);
    return map;
}

// The manager downloading and removing a map on a stick folder, the archive fed through the real tar stream.
class FullMapUpdateManagerTest : public ::testing::Test {
protected:
    FullMapUpdateManagerTest()
    {
        MapStorage::Instance().SetSubscription({QDate(2099, 1, 1), kSpace, kSpace});
        manager.Downloader().SetClientFactory([this](auto&) { return std::make_unique<FakeClient>(service); });
        manager.Downloader().SetSpaceQuery([this](auto&, auto&) { return space; });
        QObject::connect(&manager, &FullMapUpdateManager::OperationFinished,
            [this](MapDownloader::Result result) { finished.push_back(result); });
        SelectStick(stick.path());
        StoreMap(archive, kUrl);
    }

    // Starts the download and feeds the archive's first bytes; false when the download went away.
    bool Download(const QByteArray& bytes)
    {
        manager.DownloadMap(Stored().id);
        return service->Feed(bytes);
    }
    static MapInfo Stored() { return MapStorage::Instance().FindMap("EUR_2024_05"); }
    static std::int64_t Space() { return MapStorage::Instance().GetSubscription().availableMapSpace; }

    QTemporaryDir stick;
    QString root = stick.path() + "/VexmarNDSFull";
    std::shared_ptr<FakeClient::Service> service = std::make_shared<FakeClient::Service>();
    boost::filesystem::space_info space {1u << 30, 1u << 30, 1u << 30};
    FullMapUpdateManager manager {std::make_unique<MetadataChecker>(std::make_unique<FakeClient>(service))};
    QByteArray archive = Tar({{"EUR.meta.xml", "<m/>"}, {"DATA/", ""}, {"DATA/A.NDS", QByteArray(3000, 'a')}});
    Results finished;
};

// Cut inside an entry (yet verified: the server's fault, not the stick's), a wrong checksum, the metadata file one
// level deeper.
TEST_F(FullMapUpdateManagerTest, ArchivesThatDoNotVerifyOrEndInsideAnEntryFail)
{
    const QByteArray deeper = Tar({{"EUR/", ""}, {"EUR/EUR.meta.xml", "<m/>"}});
    MapInfo map = Stored();
    for (const QByteArray& bytes : {archive.left(2100), archive, deeper}) {
        map.checksum = Md5(bytes == archive ? "" : bytes);
        MapStorage::Instance().UpdateMap(map);
        ASSERT_TRUE(Download(bytes));
        service->Finish(Brel::IResponse::Ok);
        // No metadata copy may announce an incomplete or unverified map.
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
    SelectStick(stick.path() + "/GONE");
    manager.DownloadMap(map.id);
    StoreMap(archive, kUrl, MapInfo::Pending);
    manager.DownloadMap(map.id);
    TestFiles::Write(root + "/OLD.NDS", "an earlier map");
    for (const char* name : {"", ".tar", "..", "...tar", "a\\b.tar"}) {
        map.url = std::string("https://127.0.0.1/files/") + name;
        manager.Downloader().Download(root.toStdString(), map);
    }

    Results expected {
        MapDownloader::UsbTooSmall, MapDownloader::UsbFull, MapDownloader::UsbBlocked, MapDownloader::UsbRemoved};
    expected.resize(10, MapDownloader::ServerError);
    EXPECT_EQ(expected, finished);
    EXPECT_TRUE(QFileInfo::exists(root + "/OLD.NDS"));
    EXPECT_FALSE(QFileInfo::exists(stick.path() + "/GONE"));
    EXPECT_TRUE(service->sent.empty());
}

TEST_F(FullMapUpdateManagerTest, StickPulledMidDownloadIsNoticedByTheNextChunk)
{
    // Into the data of an open file, which the pulled stick does not refuse.
    ASSERT_TRUE(Download(archive.left(2100)));
    QDir(root).removeRecursively();
    EXPECT_FALSE(service->Feed(archive.mid(2100, 500)));
    EXPECT_EQ(Results {MapDownloader::UsbRemoved}, finished);
}

TEST_F(FullMapUpdateManagerTest, NewDownloadDeletesThePreviousRequestBeforeEmptyingItsFolder)
{
    ASSERT_TRUE(Download(archive.left(1024)));
    bool folderPresent = false;
    service->onRequestDeleted = [&] { folderPresent = QFileInfo::exists(root + "/EUR/EUR.meta.xml"); };
    manager.Downloader().Download(root.toStdString(), Stored());
    EXPECT_TRUE(folderPresent);
}

// The announcements go first: a stick pulled halfway must not announce a half-removed map to the head unit.
// Several maps, whose announcements are made before and after their folders, so that however the directory
// lists them some folder comes before some announcement.
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
    std::vector<std::pair<std::int64_t, long>> expected;
    for (long left = count; left > 0; --left)
        expected.emplace_back(-7, left);
    EXPECT_EQ(expected, decltype(progress)(progress.begin(), progress.begin() + count));
    std::vector<std::pair<std::int64_t, long>> files(progress.begin() + count, progress.end());
    std::sort(files.begin(), files.end());
    expected.assign(maps.size(), {-3000, 0});
    expected.insert(expected.end(), {{-700, 0}, {0, 0}});
    EXPECT_EQ(expected, files);
    EXPECT_FALSE(QFileInfo::exists(root));
}

// Whatever happens in between, the head unit's space returns to where it started once the map is off the stick.
// The archive's stream (headers, padding) is larger than the map's size and its files.
TEST_F(FullMapUpdateManagerTest, SpaceReturnsToItsStartAfterDownloadsFailuresRestartsAndCancels)
{
    MapInfo map = Stored();
    map.size = 3004;
    MapStorage::Instance().UpdateMap(map);
    const std::int64_t taken = archive.size();
    const auto setChecksum = [](const std::string& checksum) {
        MapInfo stored = Stored();
        stored.checksum = checksum;
        MapStorage::Instance().UpdateMap(stored);
    };
    std::vector<std::int64_t> figures;
    const auto download = [&] {
        ASSERT_TRUE(Download(archive));
        service->Finish(Brel::IResponse::Ok);
        figures.push_back(Space());
    };
    const auto cancel = [&] {
        manager.AbortMapDownload();
        figures.push_back(Space());
    };
    download();
    cancel();
    setChecksum(Md5("another archive"));
    download(); // fails verification
    setChecksum(Md5(archive));
    download(); // starts afresh
    cancel();
    download();
    cancel();

    EXPECT_EQ((std::vector<std::int64_t> {
                  kSpace - taken, kSpace, kSpace - taken, kSpace - taken, kSpace, kSpace - taken, kSpace}),
        figures);
    EXPECT_EQ((Results {MapDownloader::Ok, MapDownloader::Aborted, MapDownloader::ServerError, MapDownloader::Ok,
                  MapDownloader::Aborted, MapDownloader::Ok, MapDownloader::Aborted}),
        finished);
}

TEST_F(FullMapUpdateManagerTest, ProgressIsClampedToTheSizeAndRemovalGivesBackExactlyWhatWasTaken)
{
    MapInfo map = Stored();
    map.downloaded = map.size - 50;
    MapStorage::Instance().UpdateMap(map);
    ASSERT_TRUE(Download(archive.left(100)));
    EXPECT_EQ(map.size, Stored().downloaded);
    EXPECT_EQ(kSpace - 100, Space());

    // The removal reports more than was downloaded: files that were there before.
    // The figure never rises above its start while the removal runs either.
    const int removed = map.size + 2000;
    TestFiles::Write(root + "/EUR/BIG.NDS", QByteArray(removed, 'x'));
    std::vector<std::int64_t> during;
    {
        const LogCapture log([&](const LogCapture::Record& record) {
            if (record.message.rfind("Bytes removed: ", 0) == 0)
                during.push_back(Space());
        });
        manager.AbortMapDownload();
    }
    ASSERT_FALSE(during.empty());
    EXPECT_LE(*std::max_element(during.begin(), during.end()), kSpace);
    EXPECT_EQ(Results {MapDownloader::Aborted}, finished);
    EXPECT_EQ(MapInfo::Available, Stored().state);
    EXPECT_EQ(0, Stored().downloaded);
    EXPECT_EQ(kSpace, Space());
}

TEST_F(FullMapUpdateManagerTest, RetryResumesALostConnectionAndStartsAfreshAfterAFullStick)
{
    ASSERT_TRUE(Download(archive.left(1024)));
    service->Finish(Brel::IResponse::NoConnection);
    manager.DownloadMap(Stored().id);
    EXPECT_EQ(1u, service->Ids("Retry").size());
    space.available = 10;
    ASSERT_FALSE(service->Feed(archive.mid(1024, 512)));
    EXPECT_EQ(1536, Stored().downloaded);
    space.available = 1u << 30;
    manager.DownloadMap(Stored().id);

    EXPECT_EQ((Results {MapDownloader::NoConnection, MapDownloader::UsbFull}), finished);
    EXPECT_EQ(2u, service->Ids("MapContent").size());
    EXPECT_EQ(0, Stored().downloaded);
    EXPECT_EQ(kSpace, Space());
}

TEST_F(FullMapUpdateManagerTest, CancelWithNothingToRemoveEndsAborted)
{
    manager.AbortMapDownload();
    EXPECT_EQ(Results {MapDownloader::Aborted}, finished);
}

// A check is acknowledged before anything of it, also a result it reports at
// once (a stick with invalid metadata), so the machine can tell earlier results.
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

// The manager with the real client against the local content service over HTTPS.
class FullMapUpdateServiceTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(service.Start(TestEnv::SourceDir() + "/tests/src/fmu/fixtures/catalogue.json"));
        Config::Instance().updateSource = service.BaseUrl().toStdString();
        Config::Instance().updateKey = service.Key();
        manager = std::make_unique<FullMapUpdateManager>();
        QObject::connect(manager.get(), &FullMapUpdateManager::RootUpdatesChecked, &loop, &QEventLoop::exit);
        QObject::connect(manager.get(), &FullMapUpdateManager::RelatedUpdatesChecked, &loop, &QEventLoop::exit);
        QObject::connect(manager.get(), &FullMapUpdateManager::OperationFinished, &loop, &QEventLoop::exit);
    }
    // Runs the slot on the event loop and returns the result it ends with (-1: none in time).
    int Run(const char* slot, QGenericArgument argument = QGenericArgument())
    {
        QMetaObject::invokeMethod(manager.get(), slot, Qt::QueuedConnection, argument);
        QTimer::singleShot(30000, &loop, [this] { loop.exit(-1); });
        return loop.exec();
    }
    // The sorted "id"s of the logged requests to the endpoint; checks every request's query and headers.
    Ids Requested(const QString& endpoint) const
    {
        Ids ids;
        for (const QJsonValue& request : service.RequestLog()) {
            const QString path = request["path"].toString();
            const QString query = request["query"].toString();
            const QJsonValue headers = request["headers"];
            EXPECT_EQ("application/xml application/xml",
                headers["Accept"].toString() + " " + headers["Content-type"].toString());
            EXPECT_EQ(path.endsWith("/localedata"), headers["Accept-Language"] == "en-GB") << path.toStdString();
            EXPECT_TRUE(query.endsWith("key=" + QString::fromStdString(service.Key()))
                && (path.endsWith("/allroots") ? !query.contains('&') : query.startsWith("id=")))
                << query.toStdString();
            if (path.endsWith("/" + endpoint))
                ids.push_back(QUrlQuery(query).queryItemValue("id").toStdString());
        }
        std::sort(ids.begin(), ids.end());
        return ids;
    }
    std::string Url(const QString& archive) const { return service.ArchiveUrl(archive).toString().toStdString(); }
    static MapInfo Find(const std::string& id) { return MapStorage::Instance().FindMap(id); }

    ContentService service;
    QTemporaryDir stick;
    QEventLoop loop;
    std::unique_ptr<FullMapUpdateManager> manager;
};

TEST_F(FullMapUpdateServiceTest, RootCheckFillsTheCatalogueWithTheNewestOfEachRoot)
{
    ASSERT_EQ(MetadataChecker::Ok, Run("CheckMapUpdates"));
    ASSERT_EQ(2u, MapStorage::Instance().GetMaps().size());
    EXPECT_EQ(L"Europe 2024.05", Find("EU_2024_05").name);
    EXPECT_EQ(Url("EU_2024_05.tar"), Find("EU_2024_05").url);
    EXPECT_EQ("00000000000000000000000000000005", Find("EU_2024_05").checksum);
    EXPECT_EQ(L"North America 2024.01", Find("NA_2024_01").name);
    EXPECT_EQ("/brel/v1/package/allroots", service.RequestLog().first()["path"].toString());
    EXPECT_EQ((Ids {"R_EU", "R_NA"}), Requested("allnewest"));
    EXPECT_EQ((Ids {"EU_2024_05", "NA_2024_01"}), Requested("metadata"));
}

TEST_F(FullMapUpdateServiceTest, RelatedCheckFromAStickClassifiesAndFilters)
{
    StickContent::WriteFile(stick.path(), "VexmarNDSUpdate/meta_data/GENERAL.JSON",
        R"({"subscription_end_date": "2099-12-31", "available_map_space": 8000, "used_map_space": 2000})");
    StickContent::WriteFile(stick.path(), "VexmarNDSUpdate/meta_data/EU_2023_05.xml",
        QByteArray::fromStdString(ServiceDocuments::Package({"EU_2023_05", "EUR", "2023.05", "LINE_EU"})));
    SelectStick(stick.path());
    ASSERT_EQ(MetadataChecker::Ok, Run("CheckMapUpdates"));
    ASSERT_EQ(3u, MapStorage::Instance().GetMaps().size());
    EXPECT_EQ(MapInfo::Installed, Find("EU_2023_05").type);
    EXPECT_EQ(MapInfo::Optional, Find("EU_2024_05").type);
    // Its metadata is a group, whose identifier names the package.
    EXPECT_EQ(MapInfo::Mandatory, Find("EP2_2024_02").type);
    EXPECT_EQ(L"Europe Premium 2024.02", Find("EP2_2024_02").name);
    EXPECT_EQ(Url("EP2_2024_02.tar"), Find("EP2_2024_02").url);
    EXPECT_EQ(Ids {"EU_2023_05"}, Requested("allrelated"));
    EXPECT_EQ((Ids {"EP2_2024_02", "EU_2023_05", "EU_2024_05", "NA_2024_01"}), Requested("metadata"));
}

TEST_F(FullMapUpdateServiceTest, DownloadsResumeBehindTheWrittenBytesAfterDroppedConnections)
{
    SelectStick(stick.path());
    const Entries entries = {{"EUR.meta.xml", "<m/>"}, {"DATA/", ""},
        {"DATA/ROUTING.NDS", QByteArray("0123456789abcdef").repeated(20000)}, {"DATA/T0.NDS", QByteArray(20000, 'x')}};
    const QByteArray archive = Tar(entries);
    ASSERT_TRUE(TestFiles::Write(service.ArchivePath("EUR.tar"), archive));
    // Whole; then dropped inside a header, inside the first file's data, deep inside a large file.
    for (int offset : {0, 100, 600, 250000}) {
        if (offset > 0)
            service.SetFault({{"path", "/files/EUR.tar"}, {"kind", "drop_after"}, {"bytes", offset}});
        const MapInfo map = StoreMap(archive, Url("EUR.tar"));
        ASSERT_EQ(MapDownloader::Ok, Run("DownloadMap", Q_ARG(MapInfo::Id, map.id))) << offset;
        for (const auto& [name, data] : entries)
            EXPECT_EQ(name.endsWith('/') ? "" : data, TestFiles::Read(stick.path() + "/VexmarNDSFull/EUR/" + name));
        EXPECT_EQ("<m/>", TestFiles::Read(stick.path() + "/VexmarNDSFull/EUR.meta.xml"));
        EXPECT_EQ(MapInfo::Pending, Find(map.id).state);
    }
    EXPECT_EQ(QStringList({"", "", "bytes=100-", "", "bytes=600-", "", "bytes=250000-"}), service.ArchiveRanges());
}

} // namespace
