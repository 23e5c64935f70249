#include "CheckerFixture.h"
#include "LogCapture.h"

#include <QDate>

namespace {

using Docs = ServiceDocuments::Map;
using Result = MetadataChecker::Result;
using Brel::IResponse;

const Docs kInstalled {"EP_1", "EUR", "2023.09", "LINE_EU"};

std::string DaysFromToday(int days)
{
    return QDate::currentDate().addDays(days).toString(Qt::ISODate).toStdString();
}

class MetadataCheckerRelatedTest : public CheckerFixture {
protected:
    void SetUp() override { AnswerMap(kInstalled); }
    void Related(const std::vector<std::string>& ids)
    {
        service->SetAnswer("AllRelated", kInstalled.id, ServiceDocuments::PackageList(ids));
    }
};

TEST_F(MetadataCheckerRelatedTest, UsesTheListFromTheInstalledMapOnAndClassifies)
{
    Related({"x", "EP_1", "y", "y", "", "z"});
    AnswerMap({"x"});
    AnswerMap({"y", "EUR", "2024.03", "LINE_EU"});
    AnswerMap({"z", "EUR", "2024.03", "LINE_OTHER"});
    checker.CheckRelatedUpdates(Stick("2099-12-31", kInstalled), Collect());
    DeliverAll();

    EXPECT_EQ(std::vector<Result> {MetadataChecker::Ok}, results);
    EXPECT_EQ((std::vector<std::string> {"EP_1", "y", "z"}), service->SentIds("Metadata"));
    EXPECT_EQ(MapInfo::Installed, Find("EP_1").type);
    EXPECT_EQ(MapInfo::Optional, Find("y").type);
    EXPECT_EQ(MapInfo::Mandatory, Find("z").type);
    EXPECT_FALSE(Find("y").root);
    EXPECT_EQ(3u, MapCount());
    const SubscriptionInfo subscription = MapStorage::Instance().GetSubscription();
    EXPECT_EQ(QDate(2099, 12, 31), subscription.endDate);
    EXPECT_EQ(1500, subscription.totalMapSpace);
}

TEST_F(MetadataCheckerRelatedTest, ExpiredSubscriptionKeepsOnlyTheInstalledMap)
{
    LogCapture log;
    Related({"EP_1", "y"});
    AnswerMap({"y", "EUR", "2024.03"});
    checker.CheckRelatedUpdates(Stick(DaysFromToday(-1), kInstalled), Collect());
    DeliverAll();

    EXPECT_EQ(std::vector<Result> {MetadataChecker::SubscriptionExpired}, results);
    EXPECT_EQ(std::vector<std::string> {"EP_1"}, service->SentIds("Metadata"));
    EXPECT_EQ(1u, MapCount());
    EXPECT_EQ(1, log.Count(Log::Error, "Current subscription: "));
}

TEST_F(MetadataCheckerRelatedTest, SubscriptionEndingTodayIsNotExpired)
{
    Related({"EP_1"});
    checker.CheckRelatedUpdates(Stick(DaysFromToday(0), kInstalled), Collect());
    DeliverAll();
    EXPECT_EQ(std::vector<Result> {MetadataChecker::Ok}, results);
}

TEST_F(MetadataCheckerRelatedTest, ListWithoutTheInstalledMapIsAServerError)
{
    Related({"x", "y"});
    checker.CheckRelatedUpdates(Stick("2099-12-31", kInstalled), Collect());
    DeliverAll();
    EXPECT_EQ(std::vector<Result> {MetadataChecker::ServerError}, results);
    EXPECT_TRUE(service->SentIds("Metadata").empty());
}

TEST_F(MetadataCheckerRelatedTest, RelatedListFailures)
{
    const std::vector<std::pair<IResponse::Result, Result>> cases = {
        {IResponse::ContentError, MetadataChecker::InvalidMetadata},
        {IResponse::ServerError, MetadataChecker::ServerError},
        {IResponse::NoConnection, MetadataChecker::NoConnection},
    };
    const UsbInfo usb = Stick("2099-12-31", kInstalled);
    for (const auto& entry : cases) {
        results.clear();
        service->SetResult("AllRelated", kInstalled.id, entry.first);
        checker.CheckRelatedUpdates(usb, Collect());
        DeliverAll();
        EXPECT_EQ(std::vector<Result> {entry.second}, results);
    }
    results.clear();
    service->SetAnswer("AllRelated", kInstalled.id, "<list><packageId>EP_1</list>");
    checker.CheckRelatedUpdates(usb, Collect());
    DeliverAll();
    EXPECT_EQ(std::vector<Result> {MetadataChecker::InvalidMetadata}, results);
}

TEST_F(MetadataCheckerRelatedTest, FiltersDropPackagesAtTheirBoundaries)
{
    LogCapture log;
    Related({"EP_1", "nam", "june", "july", "older", "same", "bad"});
    AnswerMap({"nam", "NAM", "2024.01"});
    AnswerMap({"june", "EUR", "2099.06"});
    AnswerMap({"july", "EUR", "2099.07"});
    AnswerMap({"older", "EUR", "2023.08"});
    AnswerMap({"same", "EUR", "2023.09"});
    AnswerMap({"bad", "EUR", "Sept 2023"});
    checker.CheckRelatedUpdates(Stick("2099-06-15", kInstalled), Collect());
    DeliverAll();

    EXPECT_EQ(std::vector<Result> {MetadataChecker::Ok}, results);
    EXPECT_TRUE(Find("june").IsValid());
    EXPECT_TRUE(Find("same").IsValid());
    EXPECT_EQ(MapInfo::Optional, Find("same").type);
    for (const std::string id : {"nam", "july", "older", "bad"})
        EXPECT_FALSE(Find(id).IsValid()) << id;
    EXPECT_EQ(3u, MapCount());
    // Dropped packages are not asked for anything more.
    EXPECT_EQ((std::vector<std::string> {"EP_1", "june", "same"}), service->SentIds("DownloadInfo"));
    EXPECT_EQ(1, log.Count(Log::Debug, "Do not show maps with differt region"));
    EXPECT_EQ(1, log.Count(Log::Debug, "Do not show maps beyond subscription end date"));
    EXPECT_EQ(2, log.Count(Log::Debug, "Do not show older maps"));
}

TEST_F(MetadataCheckerRelatedTest, InvalidStickEndsAtOnceAndKeepsTheCatalogue)
{
    MapInfo kept;
    kept.id = "kept";
    kept.state = MapInfo::Pending;
    MapStorage::Instance().UpdateMap(kept);
    UsbInfo usb = Stick("2099-12-31", kInstalled);
    usb.state = UsbInfo::InvalidMetadata;
    checker.CheckRelatedUpdates(usb, Collect());

    EXPECT_EQ(std::vector<Result> {MetadataChecker::InvalidMetadata}, results);
    EXPECT_TRUE(Find("kept").IsValid());
    EXPECT_TRUE(service->SentRequests().empty());
    EXPECT_THROW(checker.CheckRelatedUpdates(usb, MetadataChecker::Callback()), std::logic_error);
}

TEST_F(MetadataCheckerRelatedTest, StartingACheckDropsTheRootCheckStillRunning)
{
    service->SetAnswer("AllRoots", "", ServiceDocuments::PackageList({"R1"}));
    service->SetAnswer("AllNewest", "R1", ServiceDocuments::PackageList({"root"}));
    checker.CheckRootUpdates(Collect());
    service->DeliverNext(); // AllRoots: AllNewest R1 pending
    UsbInfo usb = Stick("2099-12-31", kInstalled);
    usb.state = UsbInfo::InvalidMetadata;
    checker.CheckRelatedUpdates(usb, Collect());
    EXPECT_EQ(0u, service->PendingCount());

    Related({"EP_1"});
    checker.CheckRootUpdates(Collect());
    checker.CheckRelatedUpdates(Stick("2099-12-31", kInstalled), Collect());
    DeliverAll();
    EXPECT_EQ((std::vector<Result> {MetadataChecker::InvalidMetadata, MetadataChecker::Ok}), results);
    EXPECT_FALSE(Find("root").IsValid());
    EXPECT_EQ(1u, service->SentIds("AllNewest").size());
}

TEST_F(MetadataCheckerRelatedTest, StickResultsGoToTheGivenCallbackOnly)
{
    Related({"EP_1"});
    std::vector<Result> first;
    checker.CheckRelatedUpdates(
        Stick("2099-12-31", kInstalled), [&first](MetadataChecker::Result result) { first.push_back(result); });
    DeliverAll();
    ASSERT_EQ(std::vector<Result> {MetadataChecker::Ok}, first);

    // No subscription: reported to this check's callback; a later language
    // change still reports to the stored one.
    UsbInfo usb = Stick("NotAuthorized", kInstalled);
    checker.CheckRelatedUpdates(usb, Collect());
    EXPECT_EQ(std::vector<Result> {MetadataChecker::NoSubscription}, results);
    EXPECT_EQ(0u, MapCount());
    checker.UpdateLocale();
    EXPECT_EQ(1u, first.size());
}

} // namespace
