#include "MachineTest.h"

#include "Events.h"

#include "MapStorage.h"
#include "UsbStorage.h"

#include <QtTest/QTest>

#include <algorithm>
#include <iterator>
#include <stdexcept>

namespace {

using Result = MetadataChecker::Result;
using Operation = MapDownloader::Result;

} // namespace

// Before the guard's report nothing is made, and the user's events go nowhere;
// a report the guard never makes is a programming error. A manager without
// one of the names the machine uses stops the start, rather than failing
// later with a warning nobody reads.
TEST(StartUp, EventsBeforeTheStartAreDroppedAndAManagerWithoutTheExpectedNamesStopsIt)
{
    auto journal = std::make_shared<Journal>();
    int made = 0;
    Collaborators collaborators = FakeCollaborators(journal);
    collaborators.makeUi = [&made, journal] { return ++made, std::make_unique<FakeUi>(journal); };
    collaborators.quit = [journal] { journal->push_back("quit"); };
    StateMachine quitting(collaborators);
    quitting.initiate();
    EXPECT_EQ("StartUp", ActiveLeaf(quitting));
    EXPECT_THROW(quitting.HandleApplicationEvent(static_cast<ApplicationGuard::Event>(3)), std::logic_error);
    quitting.process_event(Events::Quit());
    quitting.process_event(Events::Activate());
    EXPECT_TRUE(journal->empty());
    quitting.HandleApplicationEvent(ApplicationGuard::Quit);
    EXPECT_TRUE(quitting.terminated());
    EXPECT_EQ(Journal {"quit"}, *journal);
    EXPECT_EQ(0, made);

    collaborators.makeUsbManager = [] { return std::make_unique<QObject>(); };
    StateMachine starting(collaborators);
    starting.initiate();
    EXPECT_THROW(starting.HandleApplicationEvent(ApplicationGuard::StartUp), std::logic_error);
}

// An event that no state reacts to is dropped without a record.
TEST_F(MachineTest, StartShowsTheCheckAndAsksForOneCheckThenTearsDownInOrder)
{
    EXPECT_EQ(NewCheck, Take());
    EXPECT_EQ(1, log.Count(Log::Info, "Entered Common state"));
    const auto records = log.Records().size();
    machine->process_event(Events::Retry());
    EXPECT_EQ("MapUpdateCheck", Leaf());
    EXPECT_EQ(records, log.Records().size());
    machine->process_event(Events::Activate());
    EXPECT_EQ(Journal {"Activate"}, Take());

    Stop();
    EXPECT_EQ((Journal {"Stop usb manager", "Stop map update manager", "delete map update manager",
                  "delete usb manager", "delete ui"}),
        *journal);
}

TEST_F(MachineTest, RootCheckResultsMapToTheirStates)
{
    const struct {
        Result result;
        const char* leaf;
        Journal effects;
    } rows[] = {
        {MetadataChecker::Ok, "RootUpdate", {"SetState RootUpdate", "StartUsbDiscovery"}},
        // A root check reads nothing from a stick: unusable answers are the service's.
        {MetadataChecker::InvalidMetadata, "ServerError", {"SetState ServerError"}},
        {MetadataChecker::ServerError, "ServerError", {"SetState ServerError"}},
        {MetadataChecker::NoConnection, "NoConnection", {"SetState NoConnection"}},
        {MetadataChecker::NoMetadata, "MapUpdateCheck", NewCheck},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.leaf);
        Restart({});
        Root(row.result);
        EXPECT_EQ(row.leaf, Leaf());
        EXPECT_EQ(row.effects, Take());
    }
    for (Result result : {MetadataChecker::NoSubscription, MetadataChecker::SubscriptionExpired,
             MetadataChecker::UsbRemoved, static_cast<Result>(8)})
        EXPECT_THROW(Deliver("OnRootUpdates", Q_ARG(MetadataChecker::Result, result)), std::logic_error);
}

TEST_F(MachineTest, RelatedCheckResultsMapToTheirStates)
{
    const struct {
        Result result;
        std::vector<MapInfo::Type> maps;
        const char* leaf;
        Journal effects;
    } rows[] = {
        {MetadataChecker::Ok, {MapInfo::Optional, MapInfo::Mandatory, MapInfo::Installed}, "MandatoryUpdate",
            {"SetState MandatoryUpdate"}},
        {MetadataChecker::Ok, {MapInfo::Installed, MapInfo::Optional}, "OptionalUpdate", {"SetState OptionalUpdate"}},
        {MetadataChecker::Ok, {MapInfo::Installed}, "UpToDate", {"SetState UpToDate"}},
        // A stale answer to a check whose catalogue a newer check has emptied.
        {MetadataChecker::Ok, {}, "MapUpdateCheck", {}},
        {MetadataChecker::InvalidMetadata, {}, "MetadataCorrupt", {"SetState MetadataCorrupt"}},
        {MetadataChecker::NoConnection, {}, "NoConnection", {"SetState NoConnection"}},
        {MetadataChecker::NoSubscription, {}, "NoSubscription", {"SetState NoSubscription"}},
        {MetadataChecker::ServerError, {}, "ServerError", {"SetState ServerError"}},
        {MetadataChecker::SubscriptionExpired, {}, "SubscriptionExpired", {"SetState SubscriptionExpired"}},
        // The stick's root is gone: taken out at once.
        {MetadataChecker::UsbRemoved, {}, "MapUpdateCheck",
            {"UpdateUsbs", "SetState UsbRemoved", NewCheck[0], NewCheck[1]}},
        {MetadataChecker::NoMetadata, {}, "MapUpdateCheck", NewCheck},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.leaf);
        Restart({SelectValid});
        for (MapInfo::Type type : row.maps)
            AddMap("M" + std::to_string(type), type);
        Related(row.result);
        EXPECT_EQ(row.leaf, Leaf());
        EXPECT_EQ(row.effects, Take());
    }
    EXPECT_EQ(1, log.Count(Log::Error, "Failed to check related updates: no valid map found"));
    EXPECT_THROW(Deliver("OnRelatedUpdates", Q_ARG(MetadataChecker::Result, static_cast<Result>(8))), std::logic_error);
}

TEST_F(MachineTest, OperationResultsOfADownloadMapToTheirStates)
{
    const struct {
        Operation result;
        const char* leaf;
        Journal effects;
    } rows[] = {
        {MapDownloader::Ok, "PendingUpdate", {"SetState PendingUpdate"}},
        {MapDownloader::Aborted, "CancelDownload", {"AbortMapDownload"}},
        {MapDownloader::NoConnection, "NoConnection", {"SetState NoConnection"}},
        {MapDownloader::ServerError, "ServerError", {"SetState ServerError"}},
        {MapDownloader::UsbBlocked, "UsbBlocked", {"SetState UsbBlocked"}},
        {MapDownloader::UsbTooSmall, "UsbTooSmall", {"SetState UsbTooSmall"}},
        {MapDownloader::UsbFull, "UsbFull", {"SetState UsbFull"}},
        {MapDownloader::UsbRemoved, "MapUpdateCheck", {"UpdateUsbs", "SetState UsbRemoved", NewCheck[0], NewCheck[1]}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.leaf);
        Restart({ToOptional, Download});
        Finished(row.result);
        EXPECT_EQ(row.leaf, Leaf());
        EXPECT_EQ(row.effects, Take());
    }
    Restart({ToOptional, Download});
    EXPECT_THROW(
        Deliver("OnMapOperationFinished", Q_ARG(MapDownloader::Result, static_cast<Operation>(8))), std::logic_error);
}

// The catalogue is read when the report arrives: downloading first, then deleting.
TEST_F(MachineTest, OperationStartRaisesAnEventPerMapInOperation)
{
    Restart({ToOptional});
    User(&Ui::IUi::DownloadMap, MapInfo::Id("EU"));
    EXPECT_EQ(Journal {"DownloadMap EU"}, Take());
    OperationStarted();
    EXPECT_EQ(Journal {}, Take());
    SetMapState("EU", MapInfo::Downloading);
    AddMap("OLD", MapInfo::Optional, MapInfo::Deleting);
    OperationStarted();
    EXPECT_EQ(Journal {"SetState MapDownload"}, Take());
    Cancel(*this);
    EXPECT_EQ((Journal {"AbortMapDownload", "SetState CancelDownload"}), Take());
}

// A new stick is selected when none is, or when it has metadata, the selected
// one has none and no map is on the selected stick or on its way.
TEST_F(MachineTest, NewStickSelectionRule)
{
    constexpr int none = -1;
    const struct {
        int selectedState;
        UsbInfo::State state;
        MapInfo::State map;
        bool selects;
    } rows[] = {
        {none, UsbInfo::NoMetadata, MapInfo::Unknown, true},
        {none, UsbInfo::ValidMetadata, MapInfo::Downloading, true},
        {UsbInfo::NoMetadata, UsbInfo::ValidMetadata, MapInfo::Unknown, true},
        {UsbInfo::NoMetadata, UsbInfo::InvalidMetadata, MapInfo::Available, true},
        {UsbInfo::NoMetadata, UsbInfo::ValidMetadata, MapInfo::Downloading, false},
        {UsbInfo::NoMetadata, UsbInfo::ValidMetadata, MapInfo::Deleting, false},
        {UsbInfo::NoMetadata, UsbInfo::ValidMetadata, MapInfo::Pending, false},
        {UsbInfo::NoMetadata, UsbInfo::NoMetadata, MapInfo::Unknown, false},
        {UsbInfo::ValidMetadata, UsbInfo::ValidMetadata, MapInfo::Unknown, false},
        {UsbInfo::InvalidMetadata, UsbInfo::ValidMetadata, MapInfo::Unknown, false},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(
            std::to_string(row.selectedState) + " " + std::to_string(row.state) + " " + std::to_string(row.map));
        Restart({});
        if (row.selectedState != none)
            AddUsb(1, static_cast<UsbInfo::State>(row.selectedState), true);
        if (row.map != MapInfo::Unknown)
            AddMap("EU", MapInfo::Optional, row.map);
        Checked(2, row.state);
        EXPECT_EQ(row.selects ? 2u : 1u, Selected().id);
        EXPECT_EQ(row.state, UsbStorage::Instance().GetUsb(2).state);
        EXPECT_EQ("UpdateUsbs", Take().front());
    }
}

TEST_F(MachineTest, RemovingTheSelectedStickSelectsAReplacementByMetadata)
{
    const struct {
        std::vector<UsbInfo::State> others;
        UsbInfo::Id replacement;
    } rows[] = {
        {{UsbInfo::NoMetadata, UsbInfo::InvalidMetadata, UsbInfo::ValidMetadata}, 4},
        {{UsbInfo::NoMetadata, UsbInfo::InvalidMetadata}, 3},
        {{UsbInfo::NoMetadata}, 2},
        {{}, 0},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.replacement);
        Restart({ToOptional});
        UsbInfo::Id id = 2;
        for (UsbInfo::State state : row.others)
            AddUsb(id++, state);
        Pull(1);
        EXPECT_EQ(row.replacement, Selected().id);
        EXPECT_FALSE(UsbStorage::Instance().GetUsb(1).IsValid());
        // The removal is still reported when no stick is left.
        EXPECT_EQ((Journal {"UpdateUsbs", NewCheck[0], NewCheck[1]}), Take());
    }
}

// Neither ends the program: a stick that was never stored (its check failed)
// is unknown to the registry.
TEST_F(MachineTest, RemovingAnotherOrAnUnknownStickOnlyRefreshesTheList)
{
    Restart({ToOptional});
    AddUsb(2, UsbInfo::ValidMetadata);
    Pull(2);
    Pull(9);
    EXPECT_EQ("OptionalUpdate", Leaf());
    EXPECT_EQ(1u, Selected().id);
    EXPECT_EQ((Journal {"UpdateUsbs", "UpdateUsbs"}), Take());
    EXPECT_EQ(1, log.Count(Log::Warning, "Usb: 9 is not known"));
}

// The manager is asked in every leaf; a repeated result shows an offer again
// without leaving it (no new check); SubscriptionExpired drops it.
TEST_F(MachineTest, LocaleUpdateAsksForNewNamesAndTheRepeatedResultRefreshesTheOffer)
{
    const auto rootOk = [](MachineTest& test) { test.Root(MetadataChecker::Ok); };
    const auto relatedOk = RelatedResult<MetadataChecker::Ok>;
    const struct {
        const char* leaf;
        Way way;
        std::function<void(MachineTest&)> repeat;
        Journal repeated;
    } rows[] = {
        {"OptionalUpdate", {ToOptional}, relatedOk, {"SetState OptionalUpdate"}},
        {"MandatoryUpdate", {ToMandatory}, relatedOk, {"SetState MandatoryUpdate"}},
        {"UpToDate", {ToUpToDate}, relatedOk, {"SetState UpToDate"}},
        {"SubscriptionExpired", {ToExpired}, RelatedResult<MetadataChecker::SubscriptionExpired>, {}},
        {"RootUpdate", {ToRoot}, rootOk, {"SetState RootUpdate", "StartUsbDiscovery"}},
        {"MapDownload", {ToOptional, Download}, relatedOk, {}},
        {"NoConnection", {SelectValid, RelatedResult<MetadataChecker::NoConnection>}, relatedOk, {}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.leaf);
        Restart(row.way);
        User(&Ui::IUi::UpdateLocale);
        EXPECT_EQ(Journal {"UpdateLocale"}, Take());
        row.repeat(*this);
        EXPECT_EQ(row.leaf, Leaf());
        EXPECT_EQ(row.repeated, Take());
    }
}

// A check result the manager sent before it took the machine's newer check
// belongs to the older one: it is dropped, and the newer check's own decides.
TEST_F(MachineTest, ResultsOfAnEarlierCheckAreDropped)
{
    using Step = std::function<void(MachineTest&)>;
    const Step pulled = [](MachineTest& test) { test.Pull(1); };
    const Step valid = [](MachineTest& test) { test.Insert(2, UsbInfo::ValidMetadata); };
    const Step without = [](MachineTest& test) { test.Insert(3, UsbInfo::NoMetadata); };
    const Step rootOk = [](MachineTest& test) { test.Root(MetadataChecker::Ok); };
    const Step relatedOk = RelatedResult<MetadataChecker::Ok>;
    const struct {
        const char* name;
        Way way; // to the check that runs, or the offer it ended in
        Way newer; // what asks for a newer check
        Step late, answer;
        const char* leaf;
    } rows[] = {
        {"corrupt", {SelectValid}, {pulled}, RelatedResult<MetadataChecker::InvalidMetadata>, rootOk, "RootUpdate"},
        {"no subscription", {SelectValid}, {pulled}, RelatedResult<MetadataChecker::NoSubscription>, rootOk,
            "RootUpdate"},
        {"expired", {SelectValid}, {pulled}, RelatedResult<MetadataChecker::SubscriptionExpired>, rootOk, "RootUpdate"},
        {"related ok", {SelectValid}, {pulled}, relatedOk, rootOk, "RootUpdate"},
        {"related ok repeated for new names", {ToOptional}, {pulled}, relatedOk, rootOk, "RootUpdate"},
        {"root ok, a stick with metadata", {}, {valid}, rootOk, relatedOk, "OptionalUpdate"},
        {"root ok, with metadata first", {}, {valid, without}, rootOk, relatedOk, "OptionalUpdate"},
        {"root ok, without metadata first", {}, {without, valid}, rootOk, relatedOk, "OptionalUpdate"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        Restart(row.way);
        AddMap("EU", MapInfo::Optional); // what the older check found
        Hold();
        for (const Step& step : row.newer)
            step(*this);
        row.late(*this);
        Release();
        EXPECT_EQ("MapUpdateCheck", Leaf());
        row.answer(*this);
        EXPECT_EQ(row.leaf, Leaf());
    }
    EXPECT_EQ(static_cast<int>(std::size(rows)), log.Count(Log::Debug, "Dropped result of an earlier check: "));
}

// A stick whose root vanished before discovery noticed: the first result that
// finds it gone takes it out, so one removed-stick screen and one new check
// follow, and discovery's late report only refreshes the list.
TEST_F(MachineTest, StickWhoseRootVanishedIsTakenOutAtOnce)
{
    const auto another = [](MachineTest&) { AddUsb(2, UsbInfo::ValidMetadata); };
    const struct {
        const char* name;
        Way way;
        std::function<void(MachineTest&)> gone;
        const char* leaf;
    } rows[] = {
        {"mid-download", {ToOptional, Download}, OperationResult<Operation::UsbRemoved>, "RootUpdate"},
        {"mid-check", {SelectValid}, RelatedResult<MetadataChecker::UsbRemoved>, "RootUpdate"},
        {"mid-cancellation", {ToOptional, Download, Cancel}, OperationResult<Operation::UsbRemoved>, "RootUpdate"},
        {"beside another stick", {ToOptional, another, Download}, OperationResult<Operation::UsbRemoved>,
            "OptionalUpdate"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        Restart(row.way);
        row.gone(*this);
        // The new check answered as the manager would: stick 1 is still gone.
        if (Selected().IsValid())
            Related(Selected().id == 1 ? MetadataChecker::UsbRemoved : MetadataChecker::Ok);
        else
            Root(MetadataChecker::Ok);
        Pull(1);
        EXPECT_EQ(row.leaf, Leaf());
        const Journal taken = Take();
        EXPECT_EQ(1, std::count(taken.begin(), taken.end(), "SetState UsbRemoved"));
        EXPECT_EQ(1, std::count(taken.begin(), taken.end(), "CheckMapUpdates"));
    }
    EXPECT_EQ(0, log.Count(Log::Warning, "Usb: 1 is not known"));

    // A stick whose root is still there stays selected, and is checked again.
    Restart({SelectValid});
    UsbInfo usb = Selected();
    usb.path = L"/";
    UsbStorage::Instance().UpdateUsb(usb);
    Related(MetadataChecker::UsbRemoved);
    EXPECT_EQ(RemovedAndNewCheck, Take());
    EXPECT_EQ(1u, Selected().id);
}

// A request that cannot be handed to the manager is logged, and the work that
// waits for its answer fails (Retry asks again); nothing waits for new names.
TEST_F(MachineTest, RequestsThatCannotBeInvokedEndInServerError)
{
    const auto user = [](auto signal, auto... args) { return [=](MachineTest& test) { test.User(signal, args...); }; };
    const struct {
        const char* name;
        Way way;
        std::function<void(MachineTest&)> ask;
        const char* leaf;
        Journal effects;
    } rows[] = {
        {"check", {[](MachineTest& test) { test.Root(MetadataChecker::NoConnection); }}, user(&Ui::IUi::Retry),
            "ServerError", {"SetState MapUpdateCheck", "SetState ServerError"}},
        {"download", {ToOptional}, user(&Ui::IUi::DownloadMap, MapInfo::Id("EU")), "ServerError",
            {"SetState ServerError"}},
        {"removal", {ToOptional, Download}, user(&Ui::IUi::CancelDownload), "ServerError", {"SetState ServerError"}},
        {"names", {ToOptional}, user(&Ui::IUi::UpdateLocale), "OptionalUpdate", {}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        Restart(row.way);
        maps->reachable = false;
        row.ask(*this);
        EXPECT_EQ(row.leaf, Leaf());
        EXPECT_EQ(row.effects, Take());
    }
    EXPECT_EQ(4, log.Count(Log::Error, "Failed to invoke manager method: "));
}
