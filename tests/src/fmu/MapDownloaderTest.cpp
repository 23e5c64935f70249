#include "MapDownloader.h"
#include "LogCapture.h"
#include "MapDownloaderTestArchive.h"
#include "MapDownloaderTestClient.h"

#include <QCryptographicHash>
#include <QTemporaryDir>

#include <boost/filesystem/fstream.hpp>
#include <boost/filesystem/operations.hpp>

#include <gtest/gtest.h>

#include <numeric>

namespace fs = boost::filesystem;

namespace {

using Archive = MapDownloaderTestArchive;
using Line = MapDownloaderTestClient::Line;

using ResultList = std::vector<MapDownloader::Result>;

const QByteArray kMeta = "<tns:metadata xmlns:tns=\"urn:test\"/>";

Archive MapArchive()
{
    return std::move(Archive()
                         .File("EUR.meta.xml", kMeta)
                         .Folder("DATA/")
                         .File("DATA/ROUTING.NDS", Archive::Contents(3000, 1))
                         .Folder("DATA/TILES/")
                         .File("DATA/TILES/T0.NDS", Archive::Contents(700, 2))
                         .File("README.TXT", {}));
}

class MapDownloaderTest : public ::testing::Test {
protected:
    MapDownloaderTest()
        : downloader([this](std::int64_t bytes) { progress.push_back(bytes); },
            [this](MapDownloader::Result result) { results.push_back(result); })
    {
        MapDownloaderTestClient::Install(downloader, line);
    }

    MapInfo Map(const Archive& archive, const std::string& url = "https://127.0.0.1/files/EUR.tar") const
    {
        MapInfo map;
        map.id = "EUR_2024_05";
        map.url = url;
        map.checksum = archive.Md5();
        map.size = archive.Bytes().size();
        return map;
    }

    // Downloads the archive completely and reports the request's result.
    void DownloadAll(const Archive& archive, const MapInfo& map, int chunk = 700)
    {
        downloader.Download(destination, map);
        ASSERT_TRUE(line->Feed(archive.Bytes(), chunk));
        line->Finish(Brel::IResponse::Ok);
    }

    std::int64_t Sum(const std::vector<std::int64_t>& values) const
    {
        return std::accumulate(values.begin(), values.end(), std::int64_t {0});
    }

    void WriteFile(const fs::path& path, const std::string& text) const
    {
        fs::create_directories(path.parent_path());
        fs::ofstream(path) << text;
    }

    QTemporaryDir stick;
    fs::path destination = fs::path(stick.path().toStdString()) / "VexmarNDSFull";
    std::shared_ptr<Line> line = std::make_shared<Line>();
    std::vector<std::int64_t> progress;
    std::vector<MapDownloader::Result> results;
    MapDownloader downloader;
    LogCapture log;
};

TEST_F(MapDownloaderTest, FullDownloadUnpacksTheArchiveAndCopiesItsMetadataFile)
{
    WriteFile(destination / "OLD" / "OLD.NDS", "an earlier map");
    const Archive archive = MapArchive();
    DownloadAll(archive, Map(archive));

    EXPECT_EQ(ResultList({MapDownloader::Ok}), results);
    Archive::Tree expected;
    expected["EUR"] = Archive::kFolder;
    for (const auto& entry : archive.Entries())
        expected["EUR/" + entry.first] = entry.second;
    expected["EUR.meta.xml"] = kMeta;
    EXPECT_EQ(expected, Archive::ReadTree(destination));

    EXPECT_EQ(archive.Bytes().size(), Sum(progress));
    EXPECT_EQ(archive.Bytes().size(), line->downloadedBytes);
    EXPECT_EQ(std::vector<std::string>({"https://127.0.0.1/files/EUR.tar"}), line->urls);
    EXPECT_EQ(10000, line->timeout);
    EXPECT_TRUE(line->retryDurationRead);
    EXPECT_EQ(1, line->sends);
    EXPECT_EQ(1, log.Count(Log::Debug, "Downloading map: EUR_2024_05 to: \"" + destination.string() + "\""));
}

TEST_F(MapDownloaderTest, ChecksumOrMetadataFileMismatchIsAServerErrorThatCannotBeResumed)
{
    const Archive archive = MapArchive();
    MapInfo upperCase = Map(archive);
    std::transform(upperCase.checksum.begin(), upperCase.checksum.end(), upperCase.checksum.begin(), ::toupper);
    DownloadAll(archive, upperCase);
    EXPECT_FALSE(downloader.CanResume());

    Archive deeper;
    deeper.Folder("EUR/").File("EUR/EUR.meta.xml", kMeta).File("DATA.NDS", Archive::Contents(100, 3));
    DownloadAll(deeper, Map(deeper));
    EXPECT_EQ(1, log.Count(Log::Error, "File: EUR.meta.xml not found"));
    EXPECT_FALSE(fs::exists(destination / "EUR.meta.xml"));

    EXPECT_EQ(ResultList({MapDownloader::ServerError, MapDownloader::ServerError}), results);
    EXPECT_EQ(2, log.Count(Log::Error, "Checksum mismatch"));
    downloader.Resume();
    EXPECT_EQ(1, log.Count(Log::Warning, "No request in progress"));
    EXPECT_EQ(0, line->automaticRetries);
}

TEST_F(MapDownloaderTest, ArchiveNameFollowsTheAddressAndUnusableNamesTouchNothing)
{
    Archive archive;
    archive.File("map.v2.meta.xml", kMeta);
    DownloadAll(archive, Map(archive, "https://127.0.0.1/files/map.v2.tar"));
    EXPECT_TRUE(fs::is_regular_file(destination / "map.v2.meta.xml"));

    for (const char* url : {"https://127.0.0.1/files/", "https://127.0.0.1/files/.tar", "https://127.0.0.1/..",
             "https://127.0.0.1/files/...tar", "https://127.0.0.1/files/a\\b.tar"})
        downloader.Download(destination, Map(archive, url));

    EXPECT_EQ(ResultList({MapDownloader::Ok, MapDownloader::ServerError, MapDownloader::ServerError,
                  MapDownloader::ServerError, MapDownloader::ServerError, MapDownloader::ServerError}),
        results);
    EXPECT_TRUE(fs::is_regular_file(destination / "map.v2.meta.xml"));
    EXPECT_EQ(1, line->contentRequests);
}

TEST_F(MapDownloaderTest, StickTooSmallOrFullIsReportedAtOnceWithTheFolderEmptied)
{
    const Archive archive = MapArchive();
    const MapInfo map = Map(archive);
    const auto size = static_cast<std::uintmax_t>(map.size);
    WriteFile(destination / "OLD" / "OLD.NDS", "an earlier map");

    line->space = {size - 1, size - 1, size - 1};
    downloader.Download(destination, map);
    EXPECT_EQ(1,
        log.Count(Log::Error,
            "Failed to download map: map size: " + std::to_string(size)
                + " exceeds total space: " + std::to_string(size - 1)));
    line->spaceFails = true;
    downloader.Download(destination, map);
    EXPECT_EQ(1,
        log.Count(Log::Error, "Failed to download map: map size: " + std::to_string(size) + " exceeds total space: 0"));
    line->spaceFails = false;
    line->space = {size, size, size - 1};
    downloader.Download(destination, map);
    EXPECT_EQ(1,
        log.Count(Log::Error,
            "Failed to download map: map size: " + std::to_string(size)
                + " exceeds available space: " + std::to_string(size - 1)));

    EXPECT_EQ(ResultList({MapDownloader::UsbTooSmall, MapDownloader::UsbTooSmall, MapDownloader::UsbFull}), results);
    EXPECT_EQ(Archive::Tree({{"EUR", Archive::kFolder}}), Archive::ReadTree(destination));
    EXPECT_EQ(0, line->contentRequests);
    EXPECT_FALSE(downloader.CanResume());
}

TEST_F(MapDownloaderTest, StickFillingUpMidDownloadEndsItForGood)
{
    const Archive archive = MapArchive();
    const MapInfo map = Map(archive);
    downloader.Download(destination, map);
    ASSERT_TRUE(line->Feed(archive.Bytes().left(2048), 1024));
    line->space.available = static_cast<std::uintmax_t>(map.size - 2048 - 1024 - 1);
    EXPECT_FALSE(line->Feed(archive.Bytes().mid(2048, 1024)));

    EXPECT_EQ(ResultList({MapDownloader::UsbFull}), results);
    EXPECT_EQ(1, log.Count(Log::Error, "Failed to download map: map bytes: " + std::to_string(map.size - 3072)));
    EXPECT_FALSE(downloader.CanResume());
    downloader.Resume();
    EXPECT_EQ(ResultList({MapDownloader::UsbFull}), results);
}

TEST_F(MapDownloaderTest, StickPulledMidDownloadIsNoticedByTheNextChunk)
{
    const Archive archive = MapArchive();
    downloader.Download(destination, Map(archive));
    // Into the data of an open file, which the pulled stick does not refuse.
    ASSERT_TRUE(line->Feed(archive.Bytes().left(2100)));
    fs::remove_all(destination);
    EXPECT_FALSE(line->Feed(archive.Bytes().mid(2100, 500)));

    EXPECT_EQ(ResultList({MapDownloader::UsbRemoved}), results);
    EXPECT_EQ(1, log.Count(Log::Debug, "Failed to download map: UsbRemoved."));
    downloader.Resume();
    EXPECT_EQ(1, log.Count(Log::Warning, "No request in progress"));
    EXPECT_EQ(ResultList({MapDownloader::UsbRemoved}), results);
}

TEST_F(MapDownloaderTest, BrokenConnectionResumesTheSameRequest)
{
    const Archive archive = MapArchive();
    downloader.Download(destination, Map(archive));
    ASSERT_TRUE(line->Feed(archive.Bytes().left(1500)));
    line->Finish(Brel::IResponse::NoConnection);
    line->Finish(Brel::IResponse::ServerError);
    line->Finish(Brel::IResponse::ContentError);
    ASSERT_TRUE(downloader.CanResume());
    downloader.Resume();
    ASSERT_TRUE(line->Feed(archive.Bytes().mid(1500)));
    line->Finish(Brel::IResponse::Ok);

    EXPECT_EQ(ResultList({MapDownloader::NoConnection, MapDownloader::ServerError, MapDownloader::NoConnection,
                  MapDownloader::Ok}),
        results);
    EXPECT_EQ(1, line->automaticRetries);
    EXPECT_EQ(1, line->contentRequests);
    EXPECT_TRUE(fs::is_regular_file(destination / "EUR.meta.xml"));
}

// Each write-failure case waits 500 ms for the stick to settle.
TEST_F(MapDownloaderTest, WriteFailuresTellABlockedFromAFullOrAPulledStick)
{
    // Arrives whole and verified, but ends inside an entry: not all on the stick.
    const QByteArray truncated = MapArchive().Bytes().left(2100);
    MapInfo truncatedMap = Map(MapArchive());
    truncatedMap.checksum = QCryptographicHash::hash(truncated, QCryptographicHash::Md5).toHex().toStdString();
    downloader.Download(destination, truncatedMap);
    ASSERT_TRUE(line->Feed(truncated));
    line->Finish(Brel::IResponse::Ok);

    Archive collision;
    collision.Folder("DATA/").Folder("DATA/");
    const MapInfo map = Map(collision);
    downloader.Download(destination, map);
    EXPECT_FALSE(line->Feed(collision.Bytes()));
    line->space.free = 1023;
    downloader.Download(destination, map);
    EXPECT_FALSE(line->Feed(collision.Bytes()));
    downloader.Download(destination, map);
    ASSERT_TRUE(line->Feed(collision.Bytes().left(512)));
    fs::remove_all(destination);
    line->Finish(Brel::IResponse::IOError);

    EXPECT_EQ(ResultList({MapDownloader::UsbBlocked, MapDownloader::UsbBlocked, MapDownloader::UsbFull,
                  MapDownloader::UsbRemoved}),
        results);
    EXPECT_EQ(1, log.Count(Log::Error, "Failed to finish writing the map: "));
    EXPECT_FALSE(downloader.CanResume());
}

TEST_F(MapDownloaderTest, UnwritableStickGivesAResultInsteadOfAnException)
{
    const Archive archive = MapArchive();
    const fs::path fileAsRoot = destination.parent_path() / "FILE";
    WriteFile(fileAsRoot, "not a folder");
    downloader.Download(fileAsRoot / "VexmarNDSFull", Map(archive));
    downloader.Download(destination.parent_path() / "GONE" / "VexmarNDSFull", Map(archive));

    EXPECT_EQ(ResultList({MapDownloader::UsbBlocked, MapDownloader::UsbRemoved}), results);
    EXPECT_FALSE(fs::exists(destination.parent_path() / "GONE"));
    EXPECT_EQ(0, line->contentRequests);
}

TEST_F(MapDownloaderTest, NewDownloadDeletesThePreviousRequestBeforeItsFolderAndClient)
{
    const Archive archive = MapArchive();
    downloader.Download(destination, Map(archive));
    ASSERT_TRUE(line->Feed(archive.Bytes().left(1024)));
    bool folderPresent = false;
    int clientsAlive = 0;
    line->onContentRequestDeleted = [&] {
        folderPresent = fs::exists(destination / "EUR" / "EUR.meta.xml");
        clientsAlive = line->clientsAlive;
    };
    downloader.Download(destination, Map(archive));

    EXPECT_TRUE(folderPresent);
    EXPECT_EQ(1, clientsAlive);
    EXPECT_EQ(2, line->contentRequests);
}

TEST_F(MapDownloaderTest, AbortRemovesEverythingReportingEachFileAndAbortWithoutDownloadMeansRemoved)
{
    downloader.Abort();
    const Archive archive = MapArchive();
    DownloadAll(archive, Map(archive));
    progress.clear();
    downloader.Abort();

    std::vector<std::int64_t> removed(progress);
    std::sort(removed.begin(), removed.end());
    EXPECT_EQ(std::vector<std::int64_t>({-3000, -700, -kMeta.size(), -kMeta.size(), 0}), removed);
    EXPECT_EQ(ResultList({MapDownloader::UsbRemoved, MapDownloader::Ok, MapDownloader::Aborted}), results);
    EXPECT_FALSE(fs::exists(destination));
    EXPECT_TRUE(fs::exists(destination.parent_path()));
    EXPECT_FALSE(downloader.CanResume());
}

} // namespace
