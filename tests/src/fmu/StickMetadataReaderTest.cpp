#include "StickMetadataReader.h"
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
using Outcome = boost::optional<MetadataChecker::Result>;

class StickMetadataReaderTest : public ::testing::Test {
protected:
    void SetUp() override { MapStorage::Instance().Clear(); }

    void Write(const QString& name, const std::string& text)
    {
        StickContent::WriteFile(stick.path(), "VexmarNDSUpdate/meta_data/" + name, QByteArray::fromStdString(text));
    }
    void WriteGeneral(const std::string& endDate, const std::string& available = "1000")
    {
        Write("GENERAL.JSON",
            "{\"subscription_end_date\": \"" + endDate + "\", \"available_map_space\": " + available
                + ", \"used_map_space\": 500, \"other\": [1, 2]}");
    }
    Outcome Read() { return StickMetadataReader(Root()).Read(installed); }
    fs::path Root() const { return fs::path(stick.path().toStdString()); }
    static QDate EndDate() { return MapStorage::Instance().GetSubscription().endDate; }

    QTemporaryDir stick;
    MapInfo installed;
};

TEST_F(StickMetadataReaderTest, ReadsTheSubscriptionAndTheLastMetadataFileInNameOrder)
{
    WriteGeneral("2024-06-30", "\"1000\"");
    Write("b.xml", ServiceDocuments::Document(ServiceDocuments::Group("EG_B", {"", "NAM", "2024.01", "LINE_B"})));
    Write("a.xml", ServiceDocuments::PackageMetadata({"EP_A", "EUR", "2023.05", "LINE_A", 77}));
    Write("c.XML", "not a metadata document");

    EXPECT_EQ(boost::none, Read());
    EXPECT_EQ(QDate(2024, 6, 30), EndDate());
    EXPECT_EQ(1000, MapStorage::Instance().GetSubscription().availableMapSpace);
    EXPECT_EQ(1500, MapStorage::Instance().GetSubscription().totalMapSpace);
    // The group's identifier names its package; the size stays the package's.
    EXPECT_EQ(MapInfo::Available, installed.state);
    EXPECT_EQ("EP_B", installed.id);
    EXPECT_EQ("NAM", installed.region);
    EXPECT_EQ("2024.01", installed.release);
    EXPECT_EQ("LINE_B", installed.mapLineId);
    EXPECT_EQ(77, installed.size);
}

TEST_F(StickMetadataReaderTest, SubscriptionFilesEndTheCheck)
{
    const std::vector<std::pair<std::string, MetadataChecker::Result>> files = {
        {R"({"subscription_end_date": "NotAuthorized"})", MetadataChecker::NoSubscription},
        {R"({"subscription_end_date": ""})", MetadataChecker::NoSubscription},
        {R"({"subscription_end_date": "2024-6-30", "available_map_space": 1, "used_map_space": 1})",
            MetadataChecker::InvalidMetadata},
        {R"({"subscription_end_date": "2024-02-30", "available_map_space": 1, "used_map_space": 1})",
            MetadataChecker::InvalidMetadata},
        {R"({"subscription_end_date": "2024-06-30", "available_map_space": 1, "used_map_space": -1})",
            MetadataChecker::InvalidMetadata},
        {R"({"subscription_end_date": "2024-06-30", "available_map_space": 1.5, "used_map_space": 1})",
            MetadataChecker::InvalidMetadata},
        {R"({"subscription_end_date": "2024-06-30", "available_map_space": 9223372036854775807,
            "used_map_space": 1})",
            MetadataChecker::InvalidMetadata},
        {R"({"subscription_end_date": "2024-06-30", "used_map_space": 1})", MetadataChecker::InvalidMetadata},
        {R"({"subscription_end_date": "2024-06-30", )", MetadataChecker::InvalidMetadata},
    };
    Write("EP_1.xml", ServiceDocuments::PackageMetadata({"EP_1"}));
    for (const auto& file : files) {
        Write("GENERAL.JSON", file.first);
        EXPECT_EQ(Outcome(file.second), Read()) << file.first;
        EXPECT_TRUE(EndDate().isNull()) << file.first;
    }
    EXPECT_FALSE(installed.IsValid());
}

TEST_F(StickMetadataReaderTest, MissingOrUnreadableFilesAreJudgedByWhatIsLeft)
{
    QDir(stick.path()).mkpath("VexmarNDSUpdate/meta_data");
    EXPECT_EQ(Outcome(MetadataChecker::InvalidMetadata), Read());
    WriteGeneral("2024-06-30");
    Write("a.xml", ServiceDocuments::PackageMetadata({"EP_A"}));
    Write("b.xml", "<tns:metadata><tns:package identifier=\"EP_B\"/></tns:metadata>");
    EXPECT_EQ(Outcome(MetadataChecker::InvalidMetadata), Read());
    EXPECT_EQ("EP_A", installed.id);
    QDir(stick.path() + "/VexmarNDSUpdate").removeRecursively();
    EXPECT_EQ(Outcome(MetadataChecker::NoMetadata), Read());
    stick.remove();
    EXPECT_EQ(Outcome(MetadataChecker::UsbRemoved), Read());
}

// The metadata folder fails (or the stick is pulled) while it is listed.
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
        throw fs::filesystem_error("listing failed", root, make_error_code(boost::system::errc::io_error));
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
