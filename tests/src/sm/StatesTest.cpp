#include "MachineTest.h"

#include "MapStorage.h"
#include "UsbStorage.h"

#include <algorithm>

namespace {

const auto SelectWithoutMetadata = [](MachineTest&) { MachineTest::AddUsb(1, UsbInfo::NoMetadata, true); };

// What removing the selected stick does in a leaf.
enum class Removal { Dropped, NewCheck, RemovedAndNewCheck };
// How a leaf answers Quit.
enum class Quit { AtOnce, Asks, AsksWhileSelected };

struct LeafRow {
    const char* name;
    MachineTest::Way way;
    Removal removal;
    Quit quit;
};

const std::vector<LeafRow>& Leaves()
{
    using T = MachineTest;
    static const std::vector<LeafRow> leaves = {
        {"MapUpdateCheck", {T::SelectValid}, Removal::RemovedAndNewCheck, Quit::AsksWhileSelected},
        {"MapDownload", {T::ToOptional, T::Download}, Removal::RemovedAndNewCheck, Quit::Asks},
        {"CancelDownload", {T::ToOptional, T::Download, T::Cancel}, Removal::RemovedAndNewCheck, Quit::Asks},
        {"PendingUpdate", {T::ToOptional, T::Download, OperationResult<MapDownloader::Ok>}, Removal::NewCheck,
            Quit::AtOnce},
        {"OptionalUpdate", {T::ToOptional}, Removal::NewCheck, Quit::AtOnce},
        {"MandatoryUpdate", {T::ToMandatory}, Removal::NewCheck, Quit::AtOnce},
        {"RootUpdate", {SelectWithoutMetadata, T::ToRoot}, Removal::Dropped, Quit::AtOnce},
        {"SubscriptionExpired", {T::ToExpired}, Removal::NewCheck, Quit::AtOnce},
        {"UpToDate", {T::ToUpToDate}, Removal::NewCheck, Quit::AtOnce},
        {"MetadataCorrupt", {T::SelectValid, RelatedResult<MetadataChecker::InvalidMetadata>}, Removal::NewCheck,
            Quit::AtOnce},
        {"NoSubscription", {T::SelectValid, RelatedResult<MetadataChecker::NoSubscription>}, Removal::NewCheck,
            Quit::AtOnce},
        {"NoConnection", {T::SelectValid, RelatedResult<MetadataChecker::NoConnection>}, Removal::NewCheck,
            Quit::AsksWhileSelected},
        {"NoConnection", {T::ToOptional, T::Download, OperationResult<MapDownloader::NoConnection>},
            Removal::RemovedAndNewCheck, Quit::AsksWhileSelected},
        {"ServerError", {T::SelectValid, RelatedResult<MetadataChecker::ServerError>}, Removal::NewCheck,
            Quit::AsksWhileSelected},
        {"ServerError", {T::ToOptional, T::Download, OperationResult<MapDownloader::ServerError>},
            Removal::RemovedAndNewCheck, Quit::AsksWhileSelected},
        {"UsbBlocked", {T::ToOptional, T::Download, OperationResult<MapDownloader::UsbBlocked>}, Removal::Dropped,
            Quit::Asks},
        {"UsbFull", {T::ToOptional, T::Download, OperationResult<MapDownloader::UsbFull>}, Removal::NewCheck,
            Quit::Asks},
        {"UsbTooSmall", {T::ToOptional, T::Download, OperationResult<MapDownloader::UsbTooSmall>}, Removal::Dropped,
            Quit::AtOnce},
        {"UsbCheck", {SelectWithoutMetadata, T::ToRoot, &T::CheckStarted}, Removal::Dropped, Quit::Asks},
    };
    return leaves;
}

} // namespace

TEST_F(MachineTest, RemovingTheSelectedStickInEachLeaf)
{
    for (const LeafRow& leaf : Leaves()) {
        SCOPED_TRACE(leaf.name);
        Restart(leaf.way);
        Pull(1);
        Journal expected = {"UpdateUsbs"};
        if (leaf.removal == Removal::RemovedAndNewCheck)
            expected.push_back("SetState UsbRemoved");
        if (leaf.removal != Removal::Dropped)
            expected.insert(expected.end(), NewCheck.begin(), NewCheck.end());
        EXPECT_EQ(expected, Take());
        EXPECT_EQ(leaf.removal == Removal::Dropped ? leaf.name : "MapUpdateCheck", Leaf());
    }
    EXPECT_EQ(1, log.Count(Log::Info, "Got UsbRemove event: doing nothing"));
}

TEST_F(MachineTest, QuittingInEachLeafWithAndWithoutASelectedStick)
{
    for (const LeafRow& leaf : Leaves()) {
        for (bool selected : {true, false}) {
            SCOPED_TRACE(std::string(leaf.name) + (selected ? " with a stick" : " without a stick"));
            Restart(leaf.way);
            if (!selected)
                UsbStorage::Instance().Clear();
            User(&Ui::IUi::Quit);
            const bool asks = leaf.quit == Quit::Asks || (leaf.quit == Quit::AsksWhileSelected && selected);
            EXPECT_EQ(Journal {asks ? "ConfirmQuit" : "quit"}, Take());
            EXPECT_EQ(leaf.name, Leaf());
        }
    }
    User(&Ui::IUi::ForcedQuit);
    EXPECT_EQ(Journal {"quit"}, Take());
}

TEST_F(MachineTest, DownloadFromEachOfferAsksForTheChosenMapAndShowsItOnceStarted)
{
    for (const auto& way :
        std::vector<Way> {{ToOptional}, {ToMandatory}, {SelectWithoutMetadata, ToRoot}, {ToExpired}, {ToUpToDate}}) {
        Restart(way);
        User(&Ui::IUi::DownloadMap, MapInfo::Id("EU"));
        EXPECT_EQ("MapDownload", Leaf());
        EXPECT_EQ(Journal {"DownloadMap EU"}, Take());
        SetMapState("EU", MapInfo::Downloading);
        OperationStarted();
        Finished(MapDownloader::Ok);
        EXPECT_EQ((Journal {"SetState MapDownload", "SetState PendingUpdate"}), Take());
    }
    EXPECT_EQ(1, log.Count(Log::Info, "Got ResetMap event: switching to MapDownload state"));
}

// Retry resumes what failed: the catalogue's downloading map, or the check.
TEST_F(MachineTest, RetryResumesTheInterruptedDownloadOrChecksAgain)
{
    // Asked for, but the manager never marked it downloading.
    const auto Refused = [](MachineTest& test) { test.User(&Ui::IUi::DownloadMap, MapInfo::Id("EU")); };
    const struct {
        Way way;
        const char* leaf;
        Journal effects;
    } rows[] = {
        {{ToOptional, Download, OperationResult<MapDownloader::NoConnection>}, "MapDownload", {"DownloadMap EU"}},
        {{ToOptional, Download, OperationResult<MapDownloader::ServerError>}, "MapDownload", {"DownloadMap EU"}},
        {{SelectValid, RelatedResult<MetadataChecker::NoConnection>}, "MapUpdateCheck", NewCheck},
        {{SelectValid, RelatedResult<MetadataChecker::ServerError>}, "MapUpdateCheck", NewCheck},
        // Unusable answers to a root check: the service's fault, which a retry may mend.
        {{[](MachineTest& test) { test.Root(MetadataChecker::InvalidMetadata); }}, "MapUpdateCheck", NewCheck},
        // The manager refused the map, so nothing is downloading: a new check, not a map without id.
        {{ToOptional, Refused, OperationResult<MapDownloader::ServerError>}, "MapUpdateCheck", NewCheck},
        {{ToOptional, Refused, OperationResult<MapDownloader::NoConnection>}, "MapUpdateCheck", NewCheck},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.leaf);
        Restart(row.way);
        User(&Ui::IUi::Retry);
        EXPECT_EQ(row.leaf, Leaf());
        EXPECT_EQ(row.effects, Take());
    }
}

// The end of a cancellation goes back to the offer it came from, or checks a
// stick with metadata that was held back while the map was on another stick.
TEST_F(MachineTest, CancellationEndsInTheOfferItCameFromOrChecksAHeldBackStick)
{
    const auto heldBack = [](MachineTest& test) { test.Insert(2, UsbInfo::ValidMetadata); };
    const struct {
        Way way;
        const char* leaf;
        Journal effects;
    } rows[] = {
        {{SelectWithoutMetadata, ToRoot, Download}, "RootUpdate", {"SetState RootUpdate"}},
        {{ToOptional, Download}, "OptionalUpdate", {"SetState OptionalUpdate"}},
        {{ToUpToDate, Download, OperationResult<MapDownloader::Ok>}, "UpToDate", {"SetState UpToDate"}},
        {{ToMandatory, Download, OperationResult<MapDownloader::UsbFull>}, "MandatoryUpdate",
            {"SetState MandatoryUpdate"}},
        {{SelectWithoutMetadata, ToRoot, Download, heldBack}, "MapUpdateCheck", NewCheck},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.leaf);
        Restart(row.way);
        EXPECT_EQ(1u, Selected().id);
        Cancel(*this);
        EXPECT_EQ((Journal {"AbortMapDownload", "SetState CancelDownload"}), Take());
        // A finish report means nothing here; the removal's own report ends it.
        Finished(MapDownloader::Ok);
        EXPECT_EQ("CancelDownload", Leaf());
        SetMapState("EU", MapInfo::Available);
        Finished(MapDownloader::Aborted);
        EXPECT_EQ(row.leaf, Leaf());
        EXPECT_EQ(row.effects, Take());
    }
    EXPECT_EQ(2u, Selected().id);
}

TEST_F(MachineTest, NoMetadataFromACheckMarksTheSelectedStickAndChecksAgain)
{
    Restart({SelectValid});
    Related(MetadataChecker::NoMetadata);
    EXPECT_EQ(NewCheck, Take());
    EXPECT_EQ(UsbInfo::NoMetadata, Selected().state);
    EXPECT_TRUE(Selected().selected);

    // Without a selected stick nothing is stored: no stick with id 0 appears.
    UsbStorage::Instance().Clear();
    Related(MetadataChecker::NoMetadata);
    EXPECT_EQ(NewCheck, Take());
    EXPECT_TRUE(UsbStorage::Instance().IsEmpty());
}

// Only a verification that changed the selected stick bears on a running
// check; a second stick is no result of the first one's check.
TEST_F(MachineTest, SticksVerifiedDuringACheck)
{
    const Journal rechecked = {"UpdateUsbs", NewCheck[0], NewCheck[1]};
    const struct {
        const char* name;
        Way way;
        UsbInfo::State state;
        const char* leaf;
        Journal effects;
        UsbInfo::Id selected;
    } rows[] = {
        {"no metadata beside the selected stick", {SelectValid}, UsbInfo::NoMetadata, "MapUpdateCheck", {"UpdateUsbs"},
            1},
        {"invalid metadata beside the selected stick", {SelectValid}, UsbInfo::InvalidMetadata, "MapUpdateCheck",
            {"UpdateUsbs"}, 1},
        {"valid metadata during a root check", {}, UsbInfo::ValidMetadata, "MapUpdateCheck", rechecked, 2},
        {"invalid metadata during a root check", {}, UsbInfo::InvalidMetadata, "MetadataCorrupt",
            {"UpdateUsbs", "SetState MetadataCorrupt"}, 2},
        {"valid metadata replacing one without", {SelectWithoutMetadata}, UsbInfo::ValidMetadata, "MapUpdateCheck",
            rechecked, 2},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        Restart(row.way);
        Insert(2, row.state);
        EXPECT_EQ(row.leaf, Leaf());
        EXPECT_EQ(row.effects, Take());
        EXPECT_EQ(row.selected, Selected().id);
    }
    // The selected stick's own check goes on to its offer.
    Restart({SelectValid});
    Insert(2, UsbInfo::NoMetadata);
    AddMap("EU", MapInfo::Optional);
    Related(MetadataChecker::Ok);
    EXPECT_EQ("OptionalUpdate", Leaf());
    EXPECT_EQ(UsbInfo::ValidMetadata, Selected().state);
}

TEST_F(MachineTest, SticksSwappedDuringARootCheckAreChecked)
{
    Restart({SelectWithoutMetadata});
    Pull(1);
    Insert(2, UsbInfo::ValidMetadata);
    EXPECT_EQ("MapUpdateCheck", Leaf());
    EXPECT_EQ(2u, Selected().id);
    EXPECT_EQ((Journal {"UpdateUsbs", RemovedAndNewCheck[0], NewCheck[0], NewCheck[1], "UpdateUsbs", NewCheck[0],
                  NewCheck[1]}),
        Take());
}

// From the root offer, whichever of two sticks is verified first, the one with
// metadata ends selected and checked.
TEST_F(MachineTest, TwoSticksFoundOnTheRootOfferInEitherOrder)
{
    for (bool validFirst : {true, false}) {
        SCOPED_TRACE(validFirst);
        Restart({ToRoot});
        CheckStarted();
        CheckStarted();
        EXPECT_EQ("UsbCheck", Leaf());
        Checked(validFirst ? 3 : 2, validFirst ? UsbInfo::ValidMetadata : UsbInfo::NoMetadata);
        Checked(validFirst ? 2 : 3, validFirst ? UsbInfo::NoMetadata : UsbInfo::ValidMetadata);
        EXPECT_EQ("MapUpdateCheck", Leaf());
        EXPECT_EQ(3u, Selected().id);
        const Journal taken = Take();
        EXPECT_EQ(1, std::count(taken.begin(), taken.end(), "CheckMapUpdates"));
    }
}

TEST_F(MachineTest, SticksFoundWhileOffline)
{
    const auto interrupted = Way {ToOptional, Download, OperationResult<MapDownloader::NoConnection>};
    const auto rootFailed = Way {[](MachineTest& test) { test.Root(MetadataChecker::NoConnection); }};
    const struct {
        const char* name;
        Way way;
        UsbInfo::State state;
        const char* leaf;
        Journal retry;
    } rows[] = {
        // The interrupted download stays resumable.
        {"beside an interrupted download", interrupted, UsbInfo::NoMetadata, "NoConnection", {"DownloadMap EU"}},
        {"with metadata beside an interrupted download", interrupted, UsbInfo::ValidMetadata, "NoConnection",
            {"DownloadMap EU"}},
        // No root offer from a catalogue that no root check filled.
        {"without metadata after a failed root check", rootFailed, UsbInfo::NoMetadata, "MapUpdateCheck", {}},
        {"with metadata after a failed root check", rootFailed, UsbInfo::ValidMetadata, "MapUpdateCheck", {}},
        {"with invalid metadata after a failed root check", rootFailed, UsbInfo::InvalidMetadata, "MetadataCorrupt",
            {}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        Restart(row.way);
        CheckStarted();
        EXPECT_EQ("UsbCheck", Leaf());
        // A late check result is no verification.
        Related(MetadataChecker::InvalidMetadata);
        EXPECT_EQ("UsbCheck", Leaf());
        Checked(2, row.state);
        EXPECT_EQ(row.leaf, Leaf());
        Take();
        User(&Ui::IUi::Retry);
        EXPECT_EQ(row.retry, Take());
    }
}

// A check ends the operation before it; a result already on its way is not the check's.
TEST_F(MachineTest, OperationResultsArrivingDuringACheckAreDropped)
{
    Restart({ToOptional, Download});
    Pull(1);
    Take();
    for (auto result : {MapDownloader::NoConnection, MapDownloader::ServerError, MapDownloader::UsbRemoved})
        Finished(result);
    EXPECT_EQ("MapUpdateCheck", Leaf());
    EXPECT_EQ(Journal {}, Take());
    EXPECT_EQ(3, log.Count(Log::Debug, "Dropped map operation result: "));
}
