#include "StickMetadataReader.h"
#include "LogCapture.h"
#include "MapStorage.h"
#include "ServiceDocuments.h"
#include "StickContent.h"

#include <QDir>
#include <QTemporaryDir>

#include <boost/filesystem/operations.hpp>
#include <boost/optional/optional_io.hpp>

#include <gtest/gtest.h>

namespace {

namespace fs = boost::filesystem;
using Result = MetadataChecker::Result;
using Outcome = boost::optional<Result>;

const QString kMetaData = "VexmarNDSUpdate/meta_data/";

class StickMetadataReaderTest : public ::testing::Test {
protected:
    void SetUp() override { MapStorage::Instance().Clear(); }

    void Write(const QString& name, const std::string& text)
    {
        StickContent::WriteFile(stick.path(), kMetaData + name, QByteArray::fromStdString(text));
    }
    void WriteGeneral(
        const std::string& endDate, const std::string& available = "1000", const std::string& used = "500")
    {
        Write("GENERAL.JSON",
            "{\"subscription_end_date\": \"" + endDate + "\", \"available_map_space\": " + available
                + ", \"used_map_space\": " + used + ", \"other\": [1, 2]}");
    }
    Outcome Read() { return StickMetadataReader(Root()).Read(installed); }
    fs::path Root() const { return fs::path(stick.path().toStdString()); }

    QTemporaryDir stick;
    MapInfo installed;
};

TEST_F(StickMetadataReaderTest, StoresTheSubscriptionAndReadsTheInstalledMap)
{
    WriteGeneral("2024-06-30", "\"1000\"");
    Write("EP_1.xml", ServiceDocuments::PackageMetadata({"EP_1", "EUR", "2023.05", "LINE_EU", 4096}));
    Write("EP_1.XML", "not a metadata document");
    Write("notes.txt", "ignored");

    EXPECT_EQ(boost::none, Read());
    const SubscriptionInfo subscription = MapStorage::Instance().GetSubscription();
    EXPECT_EQ(QDate(2024, 6, 30), subscription.endDate);
    EXPECT_EQ(1000, subscription.availableMapSpace);
    EXPECT_EQ(1500, subscription.totalMapSpace);
    EXPECT_TRUE(installed.IsValid());
    EXPECT_EQ(MapInfo::Available, installed.state);
    EXPECT_EQ("EP_1", installed.id);
    EXPECT_EQ("EUR", installed.region);
    EXPECT_EQ("2023.05", installed.release);
    EXPECT_EQ("LINE_EU", installed.mapLineId);
    EXPECT_EQ(4096, installed.size);
}

TEST_F(StickMetadataReaderTest, MissingOrRefusedSubscriptionEndsTheCheck)
{
    for (const std::string endDate : {"NotAuthorized", ""}) {
        WriteGeneral(endDate);
        Write("EP_1.xml", ServiceDocuments::PackageMetadata({"EP_1"}));
        EXPECT_EQ(Outcome(MetadataChecker::NoSubscription), Read()) << endDate;
        EXPECT_FALSE(installed.IsValid());
        EXPECT_TRUE(MapStorage::Instance().GetSubscription().endDate.isNull());
    }
}

// Every broken subscription file is invalid metadata (the file exists).
TEST_F(StickMetadataReaderTest, BrokenSubscriptionFilesAreInvalidMetadata)
{
    LogCapture log;
    const std::vector<std::string> files = {
        R"({"subscription_end_date": "notauthorized", "available_map_space": 1, "used_map_space": 1})",
        R"({"subscription_end_date": "2024-6-30", "available_map_space": 1, "used_map_space": 1})",
        R"({"subscription_end_date": "2024-02-30", "available_map_space": 1, "used_map_space": 1})",
        R"({"subscription_end_date": "2024-06-30", "available_map_space": 1, "used_map_space": -1})",
        R"({"subscription_end_date": "2024-06-30", "available_map_space": -1, "used_map_space": 1})",
        R"({"subscription_end_date": "2024-06-30", "available_map_space": "12ab", "used_map_space": 1})",
        R"({"subscription_end_date": "2024-06-30", "available_map_space": 1.5, "used_map_space": 1})",
        R"({"subscription_end_date": "2024-06-30", "available_map_space": 9223372036854775807,
            "used_map_space": 1})",
        R"({"subscription_end_date": "2024-06-30", "used_map_space": 1})",
        R"({"available_map_space": 1, "used_map_space": 1})",
        R"({"subscription_end_date": "2024-06-30", )",
    };
    for (const std::string& file : files) {
        Write("GENERAL.JSON", file);
        EXPECT_EQ(Outcome(MetadataChecker::InvalidMetadata), Read()) << file;
        EXPECT_TRUE(MapStorage::Instance().GetSubscription().endDate.isNull()) << file;
    }
    const std::string path = (Root() / "VexmarNDSUpdate/meta_data/GENERAL.JSON").string();
    EXPECT_EQ(3, log.Count(Log::Error, "Failed to read: \"" + path + "\": Subscription end date is not valid"));
    EXPECT_EQ(1, log.Count(Log::Error, "Failed to read: \"" + path + "\": Used map space is negative"));
    EXPECT_EQ(1, log.Count(Log::Error, "Failed to read: \"" + path + "\": Available map space is negative"));
}

TEST_F(StickMetadataReaderTest, MissingSubscriptionFileIsJudgedByWhatIsLeft)
{
    QDir(stick.path()).mkpath(kMetaData);
    EXPECT_EQ(Outcome(MetadataChecker::InvalidMetadata), Read());
    QDir(stick.path() + "/VexmarNDSUpdate").removeRecursively();
    EXPECT_EQ(Outcome(MetadataChecker::NoMetadata), Read());
    stick.remove();
    EXPECT_EQ(Outcome(MetadataChecker::UsbRemoved), Read());
}

TEST_F(StickMetadataReaderTest, UnreadableMetadataFileIsInvalidMetadata)
{
    WriteGeneral("2024-06-30");
    Write("a.xml", ServiceDocuments::PackageMetadata({"EP_A"}));
    Write("b.xml", "<tns:metadata><tns:package identifier=\"EP_B\"/></tns:metadata>");
    EXPECT_EQ(Outcome(MetadataChecker::InvalidMetadata), Read());
    // The subscription and the files read before the broken one stay.
    EXPECT_EQ(QDate(2024, 6, 30), MapStorage::Instance().GetSubscription().endDate);
    EXPECT_EQ("EP_A", installed.id);
}

TEST_F(StickMetadataReaderTest, FilesAreReadInNameOrderAndTheLastDecides)
{
    WriteGeneral("2024-06-30");
    Write("b.xml", ServiceDocuments::GroupMetadata({"EG_B", "NAM", "2024.01", "LINE_B"}));
    Write("a.xml", ServiceDocuments::PackageMetadata({"EP_A", "EUR", "2023.05", "LINE_A", 77}));
    EXPECT_EQ(boost::none, Read());
    // The group's identifier names its package; the size stays the package's.
    EXPECT_EQ("EP_B", installed.id);
    EXPECT_EQ("NAM", installed.region);
    EXPECT_EQ("LINE_B", installed.mapLineId);
    EXPECT_EQ(77, installed.size);
}

// Lists like the real reader, but the stick is pulled (or the folder fails)
// while the folder is listed.
class FailingListReader : public StickMetadataReader {
public:
    FailingListReader(const fs::path& root, bool pull)
        : StickMetadataReader(root)
        , root(root)
        , pull(pull)
    {
    }

protected:
    std::vector<fs::path> ListMetadataFiles() const override
    {
        if (pull)
            fs::remove_all(root);
        throw fs::filesystem_error(
            "listing failed", root, boost::system::errc::make_error_code(boost::system::errc::io_error));
    }

private:
    fs::path root;
    bool pull;
};

TEST_F(StickMetadataReaderTest, FailedListingIsJudgedLikeAFailedFile)
{
    WriteGeneral("2024-06-30");
    EXPECT_EQ(Outcome(MetadataChecker::InvalidMetadata), FailingListReader(Root(), false).Read(installed));
    EXPECT_EQ(Outcome(MetadataChecker::UsbRemoved), FailingListReader(Root(), true).Read(installed));
}

} // namespace
