#include "FmuTest.h"
#include "StickMetadataReader.h"

#include <QRegularExpression>

namespace {

using Result = MetadataChecker::Result;
using Results = std::vector<Result>;
using Brel::IResponse;

const std::string kGeneral
    = R"({"subscription_end_date": "2099-12-31", "available_map_space": "1000", "used_map_space": 500})";

class MetadataCheckerTest : public ::testing::Test {
protected:
    // Root "R<n>" lists the n-th ids, whose maps are answered.
    void AnswerRoots(const std::vector<Ids>& lists)
    {
        Ids roots;
        for (const Ids& list : lists) {
            roots.push_back("R" + std::to_string(roots.size() + 1));
            service.Answer("AllNewest", roots.back(), Docs::PackageList(list));
            for (const std::string& id : list) {
                service.Answer("Metadata", id, Docs::Package({id}));
                service.Answer("DownloadInfo", id, Docs::DownloadInfo("https://maps/" + id + ".tar", "0a"));
                service.Answer("LocaleData", id, Docs::LocaleData("Name of " + id));
            }
        }
        service.Answer("AllRoots", "", Docs::PackageList(roots));
    }
    void Write(const QString& name, const std::string& text)
    {
        StickContent::WriteFile(stick.path(), "VexmarNDSUpdate/meta_data/" + name, QByteArray::fromStdString(text));
    }
    void CheckRoot()
    {
        checker.CheckRootUpdates(collect);
        while (service.Deliver()) { }
    }
    // Ok: the check goes on.
    Result Read()
    {
        return StickMetadataReader(stick.path().toStdString()).Read(installed).value_or(MetadataChecker::Ok);
    }
    static MapInfo Find(const std::string& id) { return MapStorage::Instance().FindMap(id); }
    static std::size_t MapCount() { return MapStorage::Instance().GetMaps().size(); }

    FakeService service;
    MetadataChecker checker {service.NewClient()};
    Results results;
    MetadataChecker::Callback collect = [this](Result result) { results.push_back(result); };
    QTemporaryDir stick;
    MapInfo installed;
};
using StickMetadataReaderTest = MetadataCheckerTest;

TEST_F(MetadataCheckerTest, RootCheckKeepsEachListsLastNonEmptyIdAndDropsPackagesWithBadAnswers)
{
    AnswerRoots({{"a", "", "b", ""}, {"c"}, {"meta"}, {"type"}, {"sum"}, {"name"}, {"m"}});
    service.Answer("Metadata", "b", Docs::Package({"b", "NAM", "2020.01", "LINE_B"}));
    // Metadata naming another package completes the requested record.
    service.Answer("Metadata", "m", Docs::Package({"other", "EUR", "2024.01"}));
    service.Answer("Metadata", "meta", "", IResponse::ContentError);
    service.Answer("DownloadInfo", "type", Docs::DownloadInfo("https://maps/t.tar", "00", "md5"));
    // Without a checksum the download could never be verified.
    service.Answer("DownloadInfo", "sum", Docs::DownloadInfo("https://maps/s.tar", ""));
    service.Answer("LocaleData", "name", Docs::LocaleData(""));
    CheckRoot();

    EXPECT_EQ(Results {MetadataChecker::Ok}, results);
    EXPECT_EQ((Ids {"b", "c", "meta", "type", "sum", "name", "m"}), service.Sent("Metadata"));
    ASSERT_EQ(3u, MapCount());
    const MapInfo b = Find("b");
    EXPECT_TRUE(b.root && Find("c").root);
    EXPECT_EQ(MapInfo::Optional, b.type);
    EXPECT_EQ(
        "NAM 2020.01 LINE_B 1048576", b.region + " " + b.release + " " + b.mapLineId + " " + std::to_string(b.size));
    EXPECT_EQ("https://maps/b.tar 0a", b.url + " " + b.checksum);
    EXPECT_EQ(L"Name of b", b.name);
    EXPECT_EQ("2024.01 https://maps/m.tar", Find("m").release + " " + Find("m").url);
    EXPECT_EQ(L"Name of m", Find("m").name);
}

TEST_F(MetadataCheckerTest, FailedOrUnusableRootListsEndTheCheck)
{
    const std::vector<std::tuple<IResponse::Result, std::string, Result>> cases = {
        {IResponse::Ok, Docs::PackageList({"", ""}), MetadataChecker::ServerError},
        {IResponse::ContentError, "", MetadataChecker::InvalidMetadata},
        {IResponse::NoConnection, "", MetadataChecker::NoConnection},
        // Nested past any genuine answer: refused before the reader recurses off the thread's stack.
        {IResponse::Ok, "<list>" + std::string(40000, '<') + "x", MetadataChecker::ServerError},
    };
    for (const auto& [result, body, expected] : cases) {
        results.clear();
        service.Answer("AllRoots", "", body, result);
        CheckRoot();
        EXPECT_EQ(Results {expected}, results) << result << " " << body;
    }
    EXPECT_TRUE(service.Sent("Metadata").empty());
}

// The installed map (on the stick the group "EG_1", naming the package "EP_1") heads the related list; maps of
// another region, released after the subscription's end, older than the installed one or of a release that cannot be
// read are dropped and asked for nothing more; an id listed twice is asked for once, an empty one never; an expired
// subscription asks for and keeps only the installed map; a list without it, or a failed one, is the service's fault.
TEST_F(MetadataCheckerTest, RelatedCheckKeepsTheInstalledRegionsNewerMapsWithinTheSubscription)
{
    QString group = QString::fromStdString(Docs::Package({"EP_1", "EUR", "2023.09"}));
    Write("EP_1.xml",
        group.remove(QRegularExpression("</?tns:package( [^>]*)?>")).replace("GEP_1", "EG_1").toStdString());
    for (const Docs::Map& map :
        std::vector<Docs::Map> {{"EP_1", "EUR", "2023.09"}, {"y", "EUR", "2024.03"}, {"z", "EUR", "2024.03", "LINE_Z"},
            {"nam", "NAM", "2024.01"}, {"june", "EUR", "2099.06"}, {"july", "EUR", "2099.07"},
            {"older", "EUR", "2023.08"}, {"same", "EUR", "2023.09"}, {"bad", "EUR", "Sept 2023"}}) {
        service.Answer("Metadata", map.id, Docs::Package(map));
        service.Answer("DownloadInfo", map.id, Docs::DownloadInfo("https://maps/" + map.id + ".tar", "0a"));
        service.Answer("LocaleData", map.id, Docs::LocaleData("Name of " + map.id));
    }
    const auto check = [this](const std::string& end, const Ids& related, IResponse::Result result = IResponse::Ok) {
        results.clear(), MapStorage::Instance().Clear();
        Write("GENERAL.JSON",
            R"({"subscription_end_date": ")" + end + R"(", "available_map_space": "1", "used_map_space": 2})");
        service.Answer("AllRelated", "EP_1", Docs::PackageList(related), result);
        checker.CheckRelatedUpdates(
            {7, StickPath::ToWide(stick.path().toStdString()), 0, 0, UsbInfo::ValidMetadata, true}, collect);
        while (service.Deliver()) { }
    };
    check("2099-06-15", {"x", "EP_1", "y", "y", "", "z", "nam", "june", "july", "older", "same", "bad"});
    EXPECT_EQ(Results {MetadataChecker::Ok}, results);
    EXPECT_EQ((Ids {"EP_1", "y", "z", "nam", "june", "july", "older", "same", "bad"}), service.Sent("Metadata"));
    EXPECT_EQ(3, MapStorage::Instance().GetSubscription().totalMapSpace);
    EXPECT_EQ((Ids {"EP_1", "y", "z", "june", "same"}), service.Sent("DownloadInfo"));
    EXPECT_EQ((std::vector<MapInfo::Type> {MapInfo::Installed, MapInfo::Optional, MapInfo::Mandatory}),
        (std::vector<MapInfo::Type> {Find("EP_1").type, Find("same").type, Find("z").type}));
    check(QDate::currentDate().addDays(-1).toString(Qt::ISODate).toStdString(), {"EP_1", "y"});
    EXPECT_EQ(Results {MetadataChecker::SubscriptionExpired}, results);
    EXPECT_EQ(1u, MapCount());
    const Ids asked = service.Sent("Metadata");
    EXPECT_EQ((Ids {"EP_1"}), Ids(asked.begin() + 9, asked.end()));
    check("2099-06-15", {"y"});
    EXPECT_EQ(Results {MetadataChecker::ServerError}, results);
    check("2099-06-15", {}, IResponse::ServerError);
    EXPECT_EQ(Results {MetadataChecker::ServerError}, results);
}

// A new check first drops every pending request of the previous one; a check decides only when all its own requests
// answered. A language change renames and reports once more, keeping a map whose rename fails; one lost connection
// among many answers reports once.
TEST_F(MetadataCheckerTest, EachCheckWaitsForAllItsOwnRequestsAndReportsOnce)
{
    AnswerRoots({{"b"}, {"c"}, {"d"}});
    checker.CheckRootUpdates(collect);
    service.Deliver(); // AllRoots: three AllNewest pending
    checker.CheckRootUpdates(collect);
    EXPECT_EQ(1u, service.pending.size());
    while (!service.pending.empty()) {
        EXPECT_TRUE(results.empty());
        service.Deliver();
    }
    EXPECT_EQ(3u, MapCount());

    service.Answer("LocaleData", "b", Docs::LocaleData("Neuer Name"));
    service.Answer("LocaleData", "c", "", IResponse::NoConnection);
    checker.UpdateLocale();
    // The lost connection drops nothing else and decides nothing yet.
    ASSERT_TRUE(service.Deliver({"LocaleData", "c"}));
    EXPECT_EQ(1u, results.size());
    while (service.Deliver()) { }
    EXPECT_EQ(L"Neuer Name", Find("b").name);
    EXPECT_EQ(L"Name of c", Find("c").name);

    service.Answer("Metadata", "c", "", IResponse::NoConnection);
    checker.CheckRootUpdates(collect);
    for (int lists = 0; lists < 4; ++lists)
        service.Deliver();
    ASSERT_TRUE(service.Deliver({"Metadata", "c"}));
    EXPECT_EQ((Results {MetadataChecker::Ok, MetadataChecker::Ok, MetadataChecker::NoConnection}), results);
    EXPECT_TRUE(service.pending.empty());
}

class FailingListReader : public StickMetadataReader {
public:
    using StickMetadataReader::StickMetadataReader;
    std::vector<boost::filesystem::path> ListMetadataFiles() const override
    {
        throw boost::filesystem::filesystem_error("listing failed", make_error_code(boost::system::errc::io_error));
    }
};

TEST_F(StickMetadataReaderTest, MissingOrUnreadableFilesAreJudgedByWhatIsLeft)
{
    const auto bad = MetadataChecker::InvalidMetadata, ok = MetadataChecker::Ok;
    const std::vector<std::pair<std::string, Result>> files = {
        {R"({"subscription_end_date": "NotAuthorized"})", MetadataChecker::NoSubscription},
        {R"({"subscription_end_date": "2024-02-30", "available_map_space": 1, "used_map_space": 1})", bad},
        {R"({"subscription_end_date": "2024-06-30", "available_map_space": 1, "used_map_space": -1})", bad},
        {R"({"subscription_end_date":"2024-06-30","available_map_space":1,"used_map_space":9223372036854775807})", bad},
        {R"({"subscription_end_date": "2024-06-30", "used_map_space": 1})", bad},
        {R"({"subscription_end_date": "2024-06-30", "x": )" + std::string(200000, '['), bad},
        // A head unit with no space left, or none used yet, is no fault.
        {R"({"subscription_end_date": "2024-06-30", "available_map_space": 0, "used_map_space": 7})", ok},
        {R"({"subscription_end_date": "2024-06-30", "available_map_space": 7, "used_map_space": 0})", ok},
    };
    Write("EP_1.xml", Docs::Package({"EP_1"}));
    for (const auto& [file, expected] : files) {
        Write("GENERAL.JSON", file);
        MapStorage::Instance().SetSubscription({}), installed = MapInfo();
        EXPECT_EQ(expected, Read()) << file;
        EXPECT_EQ(MapStorage::Instance().GetSubscription().endDate.isNull(), expected != ok) << file;
        EXPECT_EQ(installed.IsValid(), expected == ok) << file;
    }
    QFile::remove(stick.path() + "/VexmarNDSUpdate/meta_data/EP_1.xml");
    QFile::remove(stick.path() + "/VexmarNDSUpdate/meta_data/GENERAL.JSON");
    EXPECT_EQ(MetadataChecker::InvalidMetadata, Read());
    Write("GENERAL.JSON", kGeneral);
    Write("a.xml", Docs::Package({"EP_A"}));
    Write("b.xml", "<tns:metadata><tns:package identifier=\"EP_B\"/></tns:metadata>");
    EXPECT_EQ(MetadataChecker::InvalidMetadata, Read());
    EXPECT_EQ("EP_A", installed.id);
    // Nested past any genuine document, or not a file to read at all: at once, on a thread with a normal stack.
    Write("b.xml", "<tns:metadata>" + QByteArray("<a>").repeated(40000).toStdString());
    EXPECT_EQ(MetadataChecker::InvalidMetadata, Read());
    // A FIFO is refused even when a writer has left a valid document in it.
    for (const auto& [name, valid] : {std::pair {"b.xml", Docs::Package({"EP_A"})}, {"GENERAL.JSON", kGeneral}}) {
        const QString path = stick.path() + "/VexmarNDSUpdate/meta_data/" + name;
        QFile::remove(path);
        const TestFiles::FilledFifo fifo(path, QByteArray::fromStdString(valid));
        ASSERT_TRUE(fifo.Filled());
        EXPECT_EQ(MetadataChecker::InvalidMetadata, Read()) << name;
        QFile::remove(path);
        Write("GENERAL.JSON", kGeneral);
    }
    // The metadata folder fails while it is listed.
    EXPECT_EQ(MetadataChecker::InvalidMetadata, FailingListReader(stick.path().toStdString()).Read(installed).value());
    QDir(stick.path() + "/VexmarNDSUpdate").removeRecursively();
    EXPECT_EQ(MetadataChecker::NoMetadata, Read());
    stick.remove();
    EXPECT_EQ(MetadataChecker::UsbRemoved, Read());
}

TEST(MapStorageTest, NewestOfATypeSkipsUnparsableReleasesAndKeepsTheFirstMetOnTies)
{
    MapStorage& storage = MapStorage::Instance();
    storage.Clear();
    for (const auto& [type, id, release] : {std::tuple {MapInfo::Mandatory, "bad", "May 2030"},
             {MapInfo::Mandatory, "old", "2022.11"}, {MapInfo::Mandatory, "A", "2023.05"},
             {MapInfo::Mandatory, "B", "2023.05"}, {MapInfo::Optional, "optional", "2019.01"}})
        storage.UpdateMap({type, MapInfo::Available, id, L"", "", release, "", "", "", 0, 0, false});
    MapInfo::Id firstNewest;
    for (const auto& entry : storage.GetMaps())
        if (firstNewest.empty() && entry.second.release == "2023.05")
            firstNewest = entry.first;
    EXPECT_EQ(firstNewest, storage.GetMandatoryMap().id);
    EXPECT_EQ("optional", storage.GetOptionalMap().id);
}

TEST(MapStorageTest, SubscriptionExpiresOnlyAfterItsEndDate)
{
    EXPECT_FALSE((SubscriptionInfo {QDate::currentDate(), 0, 0}).IsExpired());
    EXPECT_TRUE((SubscriptionInfo {QDate::currentDate().addDays(-1), 0, 0}).IsExpired());
    EXPECT_TRUE(SubscriptionInfo().IsExpired());
}

// The map update thread writes the subscription while the GUI thread reads it.
TEST(MapStorageTest, SubscriptionIsNeverSeenHalfWritten)
{
    std::atomic<bool> done {false};
    std::thread writer([&done] {
        for (int day = 0; day < 20000; ++day)
            MapStorage::Instance().SetSubscription({QDate(2024, 1, 1).addDays(day % 500), day, 2 * std::int64_t(day)});
        done = true;
    });
    int torn = 0;
    for (SubscriptionInfo seen; !done; seen = MapStorage::Instance().GetSubscription())
        torn += seen.totalMapSpace != 2 * seen.availableMapSpace;
    writer.join();
    EXPECT_EQ(0, torn);
}

} // namespace
