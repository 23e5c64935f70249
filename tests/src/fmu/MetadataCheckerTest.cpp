#include "MetadataChecker.h"
#include "FakeClient.h"
#include "MapStorage.h"
#include "ServiceDocuments.h"
#include "StickContent.h"
#include "StickPath.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

using Docs = ServiceDocuments::Map;
using Result = MetadataChecker::Result;
using Results = std::vector<Result>;
using Ids = std::vector<std::string>;
using Brel::IResponse;

const Docs kInstalled {"EP_1", "EUR", "2023.09", "LINE_EU"};

class MetadataCheckerTest : public ::testing::Test {
protected:
    MetadataCheckerTest() { MapStorage::Instance().Clear(); }

    void AnswerMap(const Docs& map)
    {
        service->Answer("Metadata", map.id, ServiceDocuments::PackageMetadata(map));
        service->Answer(
            "DownloadInfo", map.id, ServiceDocuments::DownloadInfo("https://maps/" + map.id + ".tar", "0a"));
        service->Answer("LocaleData", map.id, ServiceDocuments::LocaleData("Name of " + map.id));
    }
    // Root "R<n>" lists the n-th ids; each id's map is answered.
    void AnswerRoots(const std::vector<Ids>& lists)
    {
        Ids roots;
        for (const Ids& list : lists) {
            roots.push_back("R" + std::to_string(roots.size() + 1));
            service->Answer("AllNewest", roots.back(), ServiceDocuments::PackageList(list));
            for (const std::string& id : list)
                AnswerMap({id});
        }
        service->Answer("AllRoots", "", ServiceDocuments::PackageList(roots));
    }
    // A stick with the subscription and the installed map's metadata file.
    UsbInfo Stick(const std::string& endDate)
    {
        StickContent::WriteFile(stick.path(), "VexmarNDSUpdate/meta_data/GENERAL.JSON",
            QByteArray::fromStdString("{\"subscription_end_date\": \"" + endDate
                + "\", \"available_map_space\": 1000, \"used_map_space\": 500}"));
        StickContent::WriteFile(stick.path(), "VexmarNDSUpdate/meta_data/EP_1.xml",
            QByteArray::fromStdString(ServiceDocuments::PackageMetadata(kInstalled)));
        UsbInfo usb;
        usb.path = StickPath::ToWide(stick.path().toStdString());
        usb.state = UsbInfo::ValidMetadata;
        return usb;
    }
    void CheckRelated(const Ids& related, const std::string& endDate = "2099-12-31")
    {
        AnswerMap(kInstalled);
        service->Answer("AllRelated", kInstalled.id, ServiceDocuments::PackageList(related));
        checker.CheckRelatedUpdates(Stick(endDate), collect);
        service->DeliverAll();
    }
    static MapInfo Find(const std::string& id) { return MapStorage::Instance().FindMap(id); }
    static std::size_t MapCount() { return MapStorage::Instance().GetMaps().size(); }

    std::shared_ptr<FakeClient::Service> service = std::make_shared<FakeClient::Service>();
    MetadataChecker checker {std::make_unique<FakeClient>(service)};
    Results results;
    MetadataChecker::Callback collect = [this](Result result) { results.push_back(result); };
    QTemporaryDir stick;
};

TEST_F(MetadataCheckerTest, RootCheckKeepsEachListsLastNonEmptyIdAndCompletesItsRecord)
{
    AnswerRoots({{"a", "", "b", ""}, {"c"}});
    AnswerMap({"b", "NAM", "2020.01", "LINE_B"});
    checker.CheckRootUpdates(collect);
    service->DeliverAll();

    EXPECT_EQ(Results {MetadataChecker::Ok}, results);
    EXPECT_EQ((Ids {"b", "c"}), service->Ids("Metadata"));
    ASSERT_EQ(2u, MapCount());
    const MapInfo b = Find("b");
    EXPECT_TRUE(b.root && Find("c").root);
    EXPECT_EQ(MapInfo::Optional, b.type);
    EXPECT_EQ(MapInfo::Available, b.state);
    EXPECT_EQ(
        "NAM/2020.01/LINE_B/1048576", b.region + "/" + b.release + "/" + b.mapLineId + "/" + std::to_string(b.size));
    EXPECT_EQ("https://maps/b.tar", b.url);
    EXPECT_EQ("0a", b.checksum);
    EXPECT_EQ(L"Name of b", b.name);
    // The configured "en_GB" goes out as a language tag.
    for (const FakeClient::Sent& sent : service->sent)
        EXPECT_TRUE(sent.kind != "LocaleData" || sent.locale == "en-GB") << sent.locale;
}

TEST_F(MetadataCheckerTest, FailedOrUnusableListsEndTheCheck)
{
    struct Case {
        const char* kind;
        IResponse::Result result;
        std::string body;
        Result expected;
    };
    const std::vector<Case> cases = {
        {"AllRoots", IResponse::Ok, ServiceDocuments::PackageList({"", ""}), MetadataChecker::ServerError},
        {"AllRoots", IResponse::Ok, ServiceDocuments::PackageList({}), MetadataChecker::ServerError},
        {"AllRoots", IResponse::ContentError, "", MetadataChecker::InvalidMetadata},
        {"AllRoots", IResponse::ServerError, "", MetadataChecker::ServerError},
        {"AllRoots", IResponse::NoConnection, "", MetadataChecker::NoConnection},
        // The installed map is missing from its own related list.
        {"AllRelated", IResponse::Ok, ServiceDocuments::PackageList({"x", "y"}), MetadataChecker::ServerError},
        {"AllRelated", IResponse::Ok, "<list><packageId>EP_1</list>", MetadataChecker::InvalidMetadata},
        {"AllRelated", IResponse::ContentError, "", MetadataChecker::InvalidMetadata},
        {"AllRelated", IResponse::ServerError, "", MetadataChecker::ServerError},
        {"AllRelated", IResponse::NoConnection, "", MetadataChecker::NoConnection},
    };
    AnswerMap(kInstalled);
    const UsbInfo usb = Stick("2099-12-31");
    for (const Case& entry : cases) {
        results.clear();
        const bool root = entry.kind == std::string("AllRoots");
        service->answers[{entry.kind, root ? "" : kInstalled.id}] = {entry.result, entry.body};
        root ? checker.CheckRootUpdates(collect) : checker.CheckRelatedUpdates(usb, collect);
        service->DeliverAll();
        EXPECT_EQ(Results {entry.expected}, results) << entry.kind << " " << entry.result << " " << entry.body;
    }
    EXPECT_TRUE(service->Ids("AllNewest").empty());
    EXPECT_TRUE(service->Ids("Metadata").empty());
}

TEST_F(MetadataCheckerTest, RelatedCheckStartsAtTheInstalledMapAndClassifies)
{
    AnswerMap({"y", "EUR", "2024.03", "LINE_EU"});
    AnswerMap({"z", "EUR", "2024.03", "LINE_OTHER"});
    CheckRelated({"x", "EP_1", "y", "y", "", "z"});

    EXPECT_EQ(Results {MetadataChecker::Ok}, results);
    EXPECT_EQ((Ids {"EP_1", "y", "z"}), service->Ids("Metadata"));
    EXPECT_EQ(MapInfo::Installed, Find("EP_1").type);
    EXPECT_EQ(MapInfo::Optional, Find("y").type);
    EXPECT_EQ(MapInfo::Mandatory, Find("z").type);
    EXPECT_FALSE(Find("y").root);
    EXPECT_EQ(3u, MapCount());
}

TEST_F(MetadataCheckerTest, ExpiredSubscriptionKeepsOnlyTheInstalledMap)
{
    AnswerMap({"y", "EUR", "2024.03"});
    CheckRelated({"EP_1", "y"}, QDate::currentDate().addDays(-1).toString(Qt::ISODate).toStdString());
    EXPECT_EQ(Results {MetadataChecker::SubscriptionExpired}, results);
    EXPECT_EQ(Ids {"EP_1"}, service->Ids("Metadata"));
    EXPECT_EQ(1u, MapCount());
}

TEST_F(MetadataCheckerTest, FiltersDropPackagesAtTheirBoundaries)
{
    for (const Docs& map :
        {Docs {"nam", "NAM", "2024.01"}, Docs {"june", "EUR", "2099.06"}, Docs {"july", "EUR", "2099.07"},
            Docs {"older", "EUR", "2023.08"}, Docs {"same", "EUR", "2023.09"}, Docs {"bad", "EUR", "Sept 2023"}})
        AnswerMap(map);
    CheckRelated({"EP_1", "nam", "june", "july", "older", "same", "bad"}, "2099-06-15");

    EXPECT_EQ(Results {MetadataChecker::Ok}, results);
    // Dropped packages are asked for nothing more.
    EXPECT_EQ((Ids {"EP_1", "june", "same"}), service->Ids("DownloadInfo"));
    EXPECT_EQ(3u, MapCount());
}

TEST_F(MetadataCheckerTest, BadPackageAnswersDropOnlyThatPackage)
{
    AnswerRoots({{"good"}, {"newest"}, {"meta"}, {"type"}, {"sum"}, {"name"}, {"parse"}});
    service->Answer("AllNewest", "R2", "", IResponse::ServerError);
    service->Answer("Metadata", "meta", "", IResponse::ContentError);
    service->Answer("DownloadInfo", "type", ServiceDocuments::DownloadInfo("https://maps/t.tar", "00", "md5"));
    // Without a checksum the download could never be verified.
    service->Answer("DownloadInfo", "sum", ServiceDocuments::DownloadInfo("https://maps/s.tar", ""));
    service->Answer("LocaleData", "name", ServiceDocuments::LocaleData(""));
    service->Answer("Metadata", "parse", "<tns:metadata><tns:package identifier=\"x\"/></tns:metadata>");
    checker.CheckRootUpdates(collect);
    service->DeliverAll();

    EXPECT_EQ(Results {MetadataChecker::Ok}, results);
    ASSERT_EQ(1u, MapCount());
    EXPECT_TRUE(Find("good").IsValid());
}

TEST_F(MetadataCheckerTest, OneNoConnectionAmongManyAnswersReportsOnce)
{
    AnswerRoots({{"m1"}, {"m2"}, {"m3"}});
    service->Answer("Metadata", "m2", "", IResponse::NoConnection);
    checker.CheckRootUpdates(collect);
    for (const char* list : {"AllRoots", "AllNewest", "AllNewest", "AllNewest"})
        ASSERT_TRUE(service->Deliver()) << list;
    ASSERT_TRUE(service->Deliver("Metadata", "m2"));
    EXPECT_EQ(Results {MetadataChecker::NoConnection}, results);
    EXPECT_TRUE(service->pending.empty());
}

TEST_F(MetadataCheckerTest, MetadataNamingAnotherPackageCompletesTheRequestedRecord)
{
    AnswerRoots({{"m"}});
    service->Answer("Metadata", "m", ServiceDocuments::PackageMetadata({"other", "EUR", "2024.01"}));
    checker.CheckRootUpdates(collect);
    service->DeliverAll();

    EXPECT_EQ(Results {MetadataChecker::Ok}, results);
    ASSERT_EQ(1u, MapCount());
    EXPECT_EQ("2024.01", Find("m").release);
    EXPECT_EQ("https://maps/m.tar", Find("m").url);
    EXPECT_EQ(L"Name of m", Find("m").name);
}

TEST_F(MetadataCheckerTest, LanguageChangeRenamesAndReportsOnceMoreKeepingMapsWhoseRenameFails)
{
    AnswerRoots({{"b"}, {"c"}});
    checker.CheckRootUpdates(collect);
    service->DeliverAll();
    service->Answer("LocaleData", "b", ServiceDocuments::LocaleData("Neuer Name"));
    service->Answer("LocaleData", "c", "", IResponse::NoConnection);
    checker.UpdateLocale();
    // The lost connection drops nothing else and decides nothing yet.
    ASSERT_TRUE(service->Deliver("LocaleData", "c"));
    EXPECT_EQ(1u, results.size());
    service->DeliverAll();

    EXPECT_EQ((Results {MetadataChecker::Ok, MetadataChecker::Ok}), results);
    EXPECT_EQ(L"Neuer Name", Find("b").name);
    EXPECT_EQ(L"Name of c", Find("c").name);
}

TEST_F(MetadataCheckerTest, NewCheckDropsThePreviousOnesRequestsAndWaitsForAllItsOwn)
{
    AnswerRoots({{"b"}, {"c"}});
    checker.CheckRootUpdates(collect);
    service->Deliver(); // AllRoots: two AllNewest pending
    checker.CheckRootUpdates(collect);
    EXPECT_EQ(1u, service->pending.size());
    while (!service->pending.empty()) {
        EXPECT_TRUE(results.empty());
        service->Deliver();
    }
    EXPECT_EQ(Results {MetadataChecker::Ok}, results);
    EXPECT_EQ(2u, MapCount());
}

} // namespace
