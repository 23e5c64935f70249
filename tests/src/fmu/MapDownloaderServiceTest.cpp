#include "Client.h"
#include "ContentService.h"
#include "FullMapUpdateManager.h"
#include "MapDownloaderTestArchive.h"
#include "MapStorage.h"
#include "Request.h"
#include "StickPath.h"
#include "TestEnv.h"
#include "UsbStorage.h"

#include <QCryptographicHash>
#include <QEventLoop>
#include <QFile>
#include <QJsonArray>
#include <QJsonObject>
#include <QTemporaryDir>
#include <QTimer>

#include <boost/filesystem/operations.hpp>

#include <gtest/gtest.h>

namespace fs = boost::filesystem;

namespace {

using Archive = MapDownloaderTestArchive;
using ResultList = std::vector<MapDownloader::Result>;

// The archive client, with resends after a broken connection not held back.
class QuickRetryClient : public Brel::Client {
public:
    explicit QuickRetryClient(const std::string& url)
        : Brel::Client(url, "")
    {
    }

    Brel::IRequest* GetMapContent(std::ostream* out, Brel::IResponse* response) override
    {
        Brel::IRequest* request = Brel::Client::GetMapContent(out, response);
        dynamic_cast<Brel::Request&>(*request).SetRetryPause(0);
        return request;
    }
};

// Downloads from the local content service onto a stick folder through the
// manager and the real client.
class MapDownloaderServiceTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(service.Start(TestEnv::SourceDir() + "/tests/src/fmu/fixtures/downloads.json"));
        // Served in place of the generated archive, so the expected tree is known here.
        archive.File("EUR.meta.xml", "<tns:metadata xmlns:tns=\"urn:test\"/>")
            .Folder("DATA/")
            .File("DATA/ROUTING.NDS", Archive::Contents(300000, 1))
            .Folder("DATA/TILES/")
            .File("DATA/TILES/T0.NDS", Archive::Contents(20000, 2))
            .File("README.TXT", {});
        QFile served(service.ArchivePath("EUR.tar"));
        ASSERT_TRUE(served.open(QIODevice::WriteOnly | QIODevice::Truncate));
        ASSERT_EQ(archive.Bytes().size(), served.write(archive.Bytes()));
        served.close();

        UsbInfo usb;
        usb.id = 3;
        usb.path = StickPath::ToWide(stick.path().toStdString());
        usb.state = UsbInfo::ValidMetadata;
        usb.selected = true;
        UsbStorage::Instance().UpdateUsb(usb);
        manager.Downloader().SetClientFactory(
            [](const std::string& url) { return std::make_unique<QuickRetryClient>(url); });
        QObject::connect(&manager, &FullMapUpdateManager::OperationFinished, [this](MapDownloader::Result result) {
            finished.push_back(result);
            loop.quit();
        });
    }

    MapInfo StoreMap(const QString& archiveName, const std::string& checksum)
    {
        MapInfo map;
        map.id = archiveName.toStdString();
        map.state = MapInfo::Available;
        map.url = service.ArchiveUrl(archiveName).toString().toStdString();
        map.checksum = checksum;
        map.size = QFileInfo(service.ArchivePath(archiveName)).size();
        MapStorage::Instance().UpdateMap(map);
        return map;
    }

    MapDownloader::Result Download(const MapInfo& map)
    {
        const std::size_t before = finished.size();
        manager.DownloadMap(map.id);
        QTimer::singleShot(30000, &loop, &QEventLoop::quit);
        if (finished.size() == before)
            loop.exec();
        return finished.size() > before ? finished.back() : MapDownloader::Result(-1);
    }

    // The "Range" headers of the archive requests, in order ("" for none).
    QStringList Ranges(const QString& path) const
    {
        QStringList ranges;
        for (const QJsonValue& record : service.RequestLog()) {
            if (record["path"].toString() == path)
                ranges << record["headers"].toObject()["Range"].toString();
        }
        return ranges;
    }

    fs::path Destination() const { return fs::path(stick.path().toStdString()) / "VexmarNDSFull"; }

    ContentService service;
    QTemporaryDir stick;
    Archive archive;
    FullMapUpdateManager manager;
    QEventLoop loop;
    ResultList finished;
};

TEST_F(MapDownloaderServiceTest, DownloadOverHttpsUnpacksTheArchiveOntoTheStick)
{
    const MapInfo map = StoreMap("EUR.tar", archive.Md5());
    ASSERT_EQ(MapDownloader::Ok, Download(map));

    EXPECT_EQ(archive.Entries(), Archive::ReadTree(Destination() / "EUR"));
    EXPECT_TRUE(fs::is_regular_file(Destination() / "EUR.meta.xml"));
    EXPECT_EQ(MapInfo::Pending, MapStorage::Instance().FindMap(map.id).state);
    EXPECT_EQ(QStringList({""}), Ranges("/files/EUR.tar"));
    const QJsonObject headers = service.RequestLog().last()["headers"].toObject();
    EXPECT_EQ("application/x-tar", headers["Accept"].toString());
    EXPECT_TRUE(service.RequestLog().last()["query"].toString().isEmpty());
}

TEST_F(MapDownloaderServiceTest, DroppedConnectionsResumeBehindTheWrittenBytes)
{
    const MapInfo map = StoreMap("EUR.tar", archive.Md5());
    QStringList expected;
    // Inside a header, inside the first file's data, deep inside a large file.
    for (int offset : {100, 600, 250000}) {
        MapStorage::Instance().UpdateMap(map);
        service.SetFault({{"path", "/files/EUR.tar"}, {"kind", "drop_after"}, {"bytes", offset}});
        ASSERT_EQ(MapDownloader::Ok, Download(map)) << offset;
        EXPECT_EQ(archive.Entries(), Archive::ReadTree(Destination() / "EUR")) << offset;
        EXPECT_TRUE(fs::is_regular_file(Destination() / "EUR.meta.xml")) << offset;
        expected << "" << QString("bytes=%1-").arg(offset);
    }
    EXPECT_EQ(expected, Ranges("/files/EUR.tar"));
}

TEST_F(MapDownloaderServiceTest, ArchiveWithItsMetadataFileOneLevelDeeperIsAServerError)
{
    QFile served(service.ArchivePath("NAM.tar"));
    ASSERT_TRUE(served.open(QIODevice::ReadOnly));
    const std::string md5 = QCryptographicHash::hash(served.readAll(), QCryptographicHash::Md5).toHex().toStdString();
    const MapInfo map = StoreMap("NAM.tar", md5);

    EXPECT_EQ(MapDownloader::ServerError, Download(map));
    EXPECT_TRUE(fs::is_regular_file(Destination() / "NAM" / "NAM" / "NAM.meta.xml"));
    EXPECT_FALSE(fs::exists(Destination() / "NAM.meta.xml"));
    EXPECT_EQ(MapInfo::Downloading, MapStorage::Instance().FindMap(map.id).state);
}

} // namespace
