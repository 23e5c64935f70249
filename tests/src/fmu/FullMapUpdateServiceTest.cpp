#include "Config.h"
#include "ContentService.h"
#include "FullMapUpdateManager.h"
#include "MapStorage.h"
#include "ServiceDocuments.h"
#include "StickContent.h"
#include "StickPath.h"
#include "TarArchive.h"
#include "TestEnv.h"
#include "UsbStorage.h"

#include <QEventLoop>
#include <QTemporaryDir>
#include <QTimer>
#include <QUrlQuery>

#include <gtest/gtest.h>

namespace {

using Ids = std::vector<std::string>;

// The manager with the real client against the local content service over HTTPS.
class FullMapUpdateServiceTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        MapStorage::Instance().Clear();
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
    void SelectStick()
    {
        StickContent::WriteFile(stick.path(), "VexmarNDSUpdate/meta_data/GENERAL.JSON",
            R"({"subscription_end_date": "2099-12-31", "available_map_space": 8000000, "used_map_space": 2000})");
        StickContent::WriteFile(stick.path(), "VexmarNDSUpdate/meta_data/EU_2023_05.xml",
            QByteArray::fromStdString(ServiceDocuments::PackageMetadata({"EU_2023_05", "EUR", "2023.05", "LINE_EU"})));
        UsbInfo usb;
        usb.id = 3;
        usb.path = StickPath::ToWide(stick.path().toStdString());
        usb.state = UsbInfo::ValidMetadata;
        usb.selected = true;
        UsbStorage::Instance().UpdateUsb(usb);
    }
    // The sorted "id"s of the logged requests to the endpoint; checks every request's query and headers.
    Ids Requested(const QString& endpoint) const
    {
        const QString key = QString::fromStdString(service.Key());
        Ids ids;
        for (const QJsonValue& request : service.RequestLog()) {
            const QString path = request["path"].toString();
            const QString query = request["query"].toString();
            const QJsonValue headers = request["headers"];
            EXPECT_EQ("application/xml", headers["Accept"].toString()) << path.toStdString();
            EXPECT_EQ("application/xml", headers["Content-type"].toString()) << path.toStdString();
            if (path.endsWith("/localedata")) {
                EXPECT_EQ("en-GB", headers["Accept-Language"].toString());
            }
            EXPECT_TRUE(path.endsWith("/allroots") ? query == "key=" + key
                                                   : query.startsWith("id=") && query.endsWith("&key=" + key))
                << query.toStdString();
            if (path == "/brel/v1/package/" + endpoint)
                ids.push_back(QUrlQuery(query).queryItemValue("id").toStdString());
        }
        std::sort(ids.begin(), ids.end());
        return ids;
    }
    static MapInfo Find(const std::string& id) { return MapStorage::Instance().FindMap(id); }
    std::string Url(const std::string& id) const
    {
        return "https://127.0.0.1:" + std::to_string(service.Port()) + "/files/" + id + ".tar";
    }

    ContentService service;
    QTemporaryDir stick;
    QEventLoop loop;
    std::unique_ptr<FullMapUpdateManager> manager;
};

TEST_F(FullMapUpdateServiceTest, RootCheckFillsTheCatalogueWithTheNewestOfEachRoot)
{
    ASSERT_EQ(MetadataChecker::Ok, Run("CheckMapUpdates"));
    ASSERT_EQ(2u, MapStorage::Instance().GetMaps().size());
    const MapInfo europe = Find("EU_2024_05");
    EXPECT_TRUE(europe.root);
    EXPECT_EQ(MapInfo::Optional, europe.type);
    EXPECT_EQ(2000, europe.size);
    EXPECT_EQ(L"Europe 2024.05", europe.name);
    EXPECT_EQ(Url("EU_2024_05"), europe.url);
    EXPECT_EQ("00000000000000000000000000000005", europe.checksum);
    EXPECT_EQ(L"North America 2024.01", Find("NA_2024_01").name);

    EXPECT_EQ("/brel/v1/package/allroots", service.RequestLog().first()["path"].toString());
    EXPECT_EQ((Ids {"R_EU", "R_NA"}), Requested("allnewest"));
    EXPECT_EQ((Ids {"EU_2024_05", "NA_2024_01"}), Requested("metadata"));
    EXPECT_EQ((Ids {"EU_2024_05", "NA_2024_01"}), Requested("localedata"));
}

TEST_F(FullMapUpdateServiceTest, RelatedCheckFromAStickClassifiesAndFilters)
{
    SelectStick();
    ASSERT_EQ(MetadataChecker::Ok, Run("CheckMapUpdates"));
    ASSERT_EQ(3u, MapStorage::Instance().GetMaps().size());
    EXPECT_EQ(MapInfo::Installed, Find("EU_2023_05").type);
    EXPECT_EQ(MapInfo::Optional, Find("EU_2024_05").type);
    // Its metadata is a group, whose identifier names the package.
    const MapInfo premium = Find("EP2_2024_02");
    EXPECT_EQ(MapInfo::Mandatory, premium.type);
    EXPECT_FALSE(premium.root);
    EXPECT_EQ(L"Europe Premium 2024.02", premium.name);
    EXPECT_EQ(Url("EP2_2024_02"), premium.url);

    EXPECT_EQ(Ids {"EU_2023_05"}, Requested("allrelated"));
    EXPECT_EQ((Ids {"EP2_2024_02", "EU_2023_05", "EU_2024_05", "NA_2024_01"}), Requested("metadata"));
    EXPECT_EQ((Ids {"EP2_2024_02", "EU_2023_05", "EU_2024_05"}), Requested("downloadinfo"));
}

TEST_F(FullMapUpdateServiceTest, DownloadsResumeBehindTheWrittenBytesAfterDroppedConnections)
{
    SelectStick();
    TarArchive archive;
    archive.File("EUR.meta.xml", "<tns:metadata/>")
        .Folder("DATA")
        .File("DATA/ROUTING.NDS", QByteArray("0123456789abcdef").repeated(20000))
        .File("DATA/T0.NDS", QByteArray(20000, 'x'));
    ASSERT_TRUE(TestFiles::Write(service.ArchivePath("EUR.tar"), archive.Bytes()));
    MapInfo map;
    map.id = "EUR_2024_05_DL";
    map.url = service.ArchiveUrl("EUR.tar").toString().toStdString();
    map.checksum = archive.Md5();
    map.size = archive.Bytes().size();
    QStringList expected;
    // Whole; inside a header; inside the first file's data; deep inside a large file.
    for (int offset : {0, 100, 600, 250000}) {
        map.state = MapInfo::Available;
        MapStorage::Instance().UpdateMap(map);
        if (offset > 0)
            service.SetFault({{"path", "/files/EUR.tar"}, {"kind", "drop_after"}, {"bytes", offset}});
        ASSERT_EQ(MapDownloader::Ok, Run("DownloadMap", Q_ARG(MapInfo::Id, map.id))) << offset;
        EXPECT_EQ(archive.Entries(), TarArchive::ReadTree(stick.path() + "/VexmarNDSFull/EUR")) << offset;
        EXPECT_EQ("<tns:metadata/>", TestFiles::Read(stick.path() + "/VexmarNDSFull/EUR.meta.xml"));
        EXPECT_EQ(MapInfo::Pending, Find(map.id).state);
        expected << "" << QString("bytes=%1-").arg(offset);
    }
    expected.removeAt(1);
    QStringList ranges;
    for (const QJsonValue& request : service.RequestLog())
        if (request["path"].toString() == "/files/EUR.tar")
            ranges << request["headers"]["Range"].toString();
    EXPECT_EQ(expected, ranges);
}

} // namespace
