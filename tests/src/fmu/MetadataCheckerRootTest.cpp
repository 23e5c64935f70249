#include "CheckerFixture.h"
#include "LogCapture.h"

#include <stdexcept>

namespace {

using Docs = ServiceDocuments::Map;
using Result = MetadataChecker::Result;
using Brel::IResponse;

class MetadataCheckerRootTest : public CheckerFixture {
protected:
    // Two root packages: R1 lists a, an empty id, b and an empty id; R2 lists c.
    void AnswerTwoRoots()
    {
        service->SetAnswer("AllRoots", "", ServiceDocuments::PackageList({"R1", "", "R2"}));
        service->SetAnswer("AllNewest", "R1", ServiceDocuments::PackageList({"a", "", "b", ""}));
        service->SetAnswer("AllNewest", "R2", ServiceDocuments::PackageList({"c"}));
        AnswerMap({"b", "NAM", "2020.01", "LINE_B"});
        AnswerMap({"c", "EUR", "2021.01", "LINE_C"});
    }
};

TEST_F(MetadataCheckerRootTest, KeepsEachListsLastNonEmptyIdAndCompletesItsRecord)
{
    LogCapture log;
    AnswerTwoRoots();
    checker.CheckRootUpdates(Collect());
    DeliverAll();

    EXPECT_EQ(std::vector<Result> {MetadataChecker::Ok}, results);
    ASSERT_EQ(2u, MapCount());
    const MapInfo b = Find("b");
    EXPECT_TRUE(b.root);
    EXPECT_EQ(MapInfo::Optional, b.type);
    EXPECT_EQ(MapInfo::Available, b.state);
    EXPECT_EQ("NAM", b.region);
    EXPECT_EQ("2020.01", b.release);
    EXPECT_EQ("LINE_B", b.mapLineId);
    EXPECT_EQ(1048576, b.size);
    EXPECT_EQ("https://maps/b.tar", b.url);
    EXPECT_EQ("0123abcd", b.checksum);
    EXPECT_EQ(L"Name of b", b.name);
    EXPECT_TRUE(Find("c").root);

    EXPECT_EQ((std::vector<std::string> {"R1", "R2"}), service->SentIds("AllNewest"));
    EXPECT_EQ((std::vector<std::string> {"b", "c"}), service->SentIds("Metadata"));
    for (const FakeService::Sent& sent : service->SentRequests()) {
        EXPECT_EQ(5000, sent.timeout) << sent.kind;
        if (sent.kind == "LocaleData") {
            EXPECT_EQ("en-GB", sent.locale);
        }
    }
    // Each map's download information goes out before its name.
    const auto& sent = service->SentRequests();
    const auto position = [&sent](const std::string& kind, const std::string& id) {
        return std::find_if(sent.begin(), sent.end(),
            [&](const FakeService::Sent& request) { return request.kind == kind && request.id == id; });
    };
    EXPECT_LT(position("DownloadInfo", "b"), position("LocaleData", "b"));
    EXPECT_EQ(sent.front().kind, "AllRoots");

    EXPECT_EQ(1, log.Count(Log::Debug, "AllRoots request finished with result: Ok"));
    EXPECT_EQ(1, log.Count(Log::Debug, "Sending Metadata request for map: b"));
    EXPECT_EQ(1, log.Count(Log::Debug, "LocaleData request for map: c finished with result: Ok"));
    EXPECT_EQ(1, log.Count(Log::Debug, "Root updates check succeded"));
    EXPECT_LT(0, log.Count(Log::Debug, "map.type=Optional"));
    EXPECT_LT(0, log.Count(Log::Debug, "map.root=true"));
}

TEST_F(MetadataCheckerRootTest, RootListsWithoutUsableIdsAreServerErrors)
{
    LogCapture log;
    for (const std::string& body : {ServiceDocuments::PackageList({}), ServiceDocuments::PackageList({"", ""}),
             std::string("<list><packageId>R1</list>"), std::string("<other/>")}) {
        results.clear();
        service->SetAnswer("AllRoots", "", body);
        checker.CheckRootUpdates(Collect());
        DeliverAll();
        EXPECT_EQ(std::vector<Result> {MetadataChecker::ServerError}, results) << body;
        EXPECT_TRUE(service->SentIds("AllNewest").empty()) << body;
    }
    EXPECT_EQ(2, log.Count(Log::Error, "Failed to parse response: No root packages found"));
    EXPECT_EQ(2, log.Count(Log::Debug, "Skipping empty package id"));
}

TEST_F(MetadataCheckerRootTest, RootListResultsMapToCheckResults)
{
    const std::vector<std::pair<IResponse::Result, Result>> cases = {
        {IResponse::ContentError, MetadataChecker::InvalidMetadata},
        {IResponse::ServerError, MetadataChecker::ServerError},
        {IResponse::NoConnection, MetadataChecker::NoConnection},
    };
    for (const auto& entry : cases) {
        results.clear();
        service->SetResult("AllRoots", "", entry.first);
        checker.CheckRootUpdates(Collect());
        DeliverAll();
        EXPECT_EQ(std::vector<Result> {entry.second}, results);
    }
    service->SetResult("AllRoots", "", IResponse::IOError);
    checker.CheckRootUpdates(Collect());
    EXPECT_THROW(DeliverAll(), std::logic_error);
}

TEST_F(MetadataCheckerRootTest, OneNoConnectionAmongManyAnswersReportsOnce)
{
    service->SetAnswer("AllRoots", "", ServiceDocuments::PackageList({"R1", "R2", "R3"}));
    for (const std::string id : {"1", "2", "3"}) {
        service->SetAnswer("AllNewest", "R" + id, ServiceDocuments::PackageList({"m" + id}));
        AnswerMap({"m" + id});
    }
    service->SetResult("Metadata", "m2", IResponse::NoConnection);
    checker.CheckRootUpdates(Collect());
    service->DeliverNext(); // AllRoots
    service->DeliverNext(); // AllNewest R1
    service->DeliverNext(); // AllNewest R2
    service->DeliverNext(); // AllNewest R3
    ASSERT_EQ(3u, service->PendingCount());
    ASSERT_TRUE(service->Deliver("Metadata", "m2"));

    EXPECT_EQ(std::vector<Result> {MetadataChecker::NoConnection}, results);
    EXPECT_EQ(0u, service->PendingCount());
    DeliverAll();
    EXPECT_EQ(1u, results.size());
}

TEST_F(MetadataCheckerRootTest, FailedPackageAnswersDropOnlyThatPackage)
{
    service->SetAnswer("AllRoots", "", ServiceDocuments::PackageList({"R1", "R2", "R3", "R4", "R5", "R6", "R7"}));
    const std::vector<std::string> maps = {"good", "newest", "meta", "type", "sum", "name", "parse"};
    for (std::size_t index = 0; index < maps.size(); ++index) {
        service->SetAnswer("AllNewest", "R" + std::to_string(index + 1), ServiceDocuments::PackageList({maps[index]}));
        AnswerMap({maps[index]});
    }
    service->SetResult("AllNewest", "R2", IResponse::ServerError);
    service->SetResult("Metadata", "meta", IResponse::ContentError);
    service->SetAnswer("DownloadInfo", "type", ServiceDocuments::DownloadInfo("https://maps/t.tar", "00", "md5"));
    service->SetAnswer("DownloadInfo", "sum", ServiceDocuments::DownloadInfo("https://maps/s.tar", ""));
    service->SetAnswer("LocaleData", "name", ServiceDocuments::LocaleData(""));
    service->SetAnswer("Metadata", "parse", "<tns:metadata><tns:package identifier=\"x\"/></tns:metadata>");

    checker.CheckRootUpdates(Collect());
    DeliverAll();

    EXPECT_EQ(std::vector<Result> {MetadataChecker::Ok}, results);
    ASSERT_EQ(1u, MapCount());
    EXPECT_TRUE(Find("good").IsValid());
}

TEST_F(MetadataCheckerRootTest, EveryPackageDroppedIsInvalidMetadata)
{
    service->SetAnswer("AllRoots", "", ServiceDocuments::PackageList({"R1"}));
    service->SetAnswer("AllNewest", "R1", ServiceDocuments::PackageList({"m"}));
    AnswerMap({"m"});
    service->SetResult("LocaleData", "m", IResponse::ServerError);
    checker.CheckRootUpdates(Collect());
    DeliverAll();
    EXPECT_EQ(std::vector<Result> {MetadataChecker::InvalidMetadata}, results);
    EXPECT_EQ(0u, MapCount());
}

TEST_F(MetadataCheckerRootTest, PackageListedTwiceIsRequestedOnce)
{
    LogCapture log;
    service->SetAnswer("AllRoots", "", ServiceDocuments::PackageList({"R1", "R2"}));
    service->SetAnswer("AllNewest", "R1", ServiceDocuments::PackageList({"m"}));
    service->SetAnswer("AllNewest", "R2", ServiceDocuments::PackageList({"m"}));
    AnswerMap({"m"});
    checker.CheckRootUpdates(Collect());
    DeliverAll();
    EXPECT_EQ(std::vector<std::string> {"m"}, service->SentIds("Metadata"));
    EXPECT_EQ(std::vector<Result> {MetadataChecker::Ok}, results);
}

TEST_F(MetadataCheckerRootTest, MetadataNamingAnotherPackageCompletesTheRequestedRecord)
{
    LogCapture log;
    service->SetAnswer("AllRoots", "", ServiceDocuments::PackageList({"R1"}));
    service->SetAnswer("AllNewest", "R1", ServiceDocuments::PackageList({"m"}));
    AnswerMap({"m"});
    service->SetAnswer("Metadata", "m", ServiceDocuments::PackageMetadata({"other", "EUR", "2024.01"}));
    checker.CheckRootUpdates(Collect());
    DeliverAll();

    EXPECT_EQ(std::vector<Result> {MetadataChecker::Ok}, results);
    ASSERT_EQ(1u, MapCount());
    const MapInfo map = Find("m");
    EXPECT_EQ("m", map.id);
    EXPECT_EQ("2024.01", map.release);
    EXPECT_EQ("https://maps/m.tar", map.url);
    EXPECT_EQ(L"Name of m", map.name);
    EXPECT_EQ(1, log.Count(Log::Warning, "Metadata of map: m names the package: other"));
}

TEST_F(MetadataCheckerRootTest, LanguageChangeRenamesEveryMapAndReportsOnceMore)
{
    AnswerTwoRoots();
    checker.CheckRootUpdates(Collect());
    DeliverAll();
    ASSERT_EQ(1u, results.size());

    service->SetAnswer("LocaleData", "b", ServiceDocuments::LocaleData("Neuer Name"));
    service->SetResult("LocaleData", "c", IResponse::NoConnection);
    checker.UpdateLocale();
    EXPECT_EQ(2u, service->PendingCount());
    // The lost connection drops nothing else and decides nothing yet.
    ASSERT_TRUE(service->Deliver("LocaleData", "c"));
    EXPECT_EQ(1u, results.size());
    EXPECT_EQ(1u, service->PendingCount());
    service->DeliverNext();

    EXPECT_EQ((std::vector<Result> {MetadataChecker::Ok, MetadataChecker::Ok}), results);
    EXPECT_EQ(L"Neuer Name", Find("b").name);
    EXPECT_EQ(L"Name of c", Find("c").name);

    // A failed or unreadable name keeps the map too.
    service->SetResult("LocaleData", "b", IResponse::ServerError);
    service->SetAnswer("LocaleData", "c", ServiceDocuments::LocaleData(""));
    checker.UpdateLocale();
    DeliverAll();
    EXPECT_EQ(3u, results.size());
    EXPECT_EQ(2u, MapCount());
    EXPECT_EQ(L"Neuer Name", Find("b").name);
}

TEST_F(MetadataCheckerRootTest, LanguageChangeWithoutMapsSendsAndReportsNothing)
{
    checker.UpdateLocale();
    EXPECT_EQ(0u, service->PendingCount());
    EXPECT_TRUE(results.empty());
}

TEST_F(MetadataCheckerRootTest, LanguageChangeAfterLostConnectionCanReportOk)
{
    service->SetAnswer("AllRoots", "", ServiceDocuments::PackageList({"R1", "R2"}));
    service->SetAnswer("AllNewest", "R1", ServiceDocuments::PackageList({"m"}));
    service->SetResult("AllNewest", "R2", IResponse::NoConnection);
    AnswerMap({"m"});
    checker.CheckRootUpdates(Collect());
    service->DeliverNext(); // AllRoots
    service->DeliverNext(); // R1: m catalogued
    service->DeliverNext(); // R2: connection lost
    ASSERT_EQ(std::vector<Result> {MetadataChecker::NoConnection}, results);

    checker.UpdateLocale();
    DeliverAll();
    EXPECT_EQ((std::vector<Result> {MetadataChecker::NoConnection, MetadataChecker::Ok}), results);
}

TEST_F(MetadataCheckerRootTest, NewCheckDropsTheRequestsOfThePreviousOne)
{
    AnswerTwoRoots();
    checker.CheckRootUpdates(Collect());
    service->DeliverNext(); // AllRoots: two AllNewest pending
    ASSERT_EQ(2u, service->PendingCount());

    checker.CheckRootUpdates(Collect());
    EXPECT_EQ(1u, service->PendingCount());
    checker.CheckRootUpdates(Collect());
    EXPECT_EQ(1u, service->PendingCount());
    DeliverAll();
    EXPECT_EQ(std::vector<Result> {MetadataChecker::Ok}, results);
    EXPECT_EQ(2u, MapCount());
}

} // namespace
