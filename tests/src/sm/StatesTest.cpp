#include "MachineTest.h"

// What removing the selected stick does in a leaf (dropped: only the list refreshed), and how it answers Quit.
const Journal Dropped = {"UpdateUsbs"}, AtOnce = {"quit", "quit"}, Asks = {"ConfirmQuit", "ConfirmQuit"},
              AsksWhileSelected = {"ConfirmQuit", "quit"};

const struct {
    const char* name;
    Way way;
    const Journal& removal;
    const Journal& quit; // with a stick, without
} Leaves[] = {
    {"MapUpdateCheck", {SelectValid}, Removed, AsksWhileSelected},
    {"MapDownload", Downloading, Removed, Asks},
    {"CancelDownload", Downloading + Cancel, Removed, Asks},
    {"PendingUpdate", Downloading + Way {Finished(D::Ok)}, Rechecked, AtOnce},
    {"OptionalUpdate", ToOptional, Rechecked, AtOnce},
    {"MandatoryUpdate", Offer(MapInfo::Mandatory), Rechecked, AtOnce},
    {"RootUpdate", Way {SelectWithout} + ToRoot, Dropped, AtOnce},
    {"SubscriptionExpired", Offer(MapInfo::Installed, M::SubscriptionExpired), Rechecked, AtOnce},
    {"UpToDate", Offer(MapInfo::Installed), Rechecked, AtOnce},
    {"MetadataCorrupt", {SelectValid, Related(M::InvalidMetadata)}, Rechecked, AtOnce},
    {"NoSubscription", {SelectValid, Related(M::NoSubscription)}, Rechecked, AtOnce},
    {"NoConnection", {SelectValid, Related(M::NoConnection)}, Rechecked, AsksWhileSelected},
    {"NoConnection", Interrupted, Removed, AsksWhileSelected},
    {"ServerError", {SelectValid, Related(M::ServerError)}, Rechecked, AsksWhileSelected},
    {"ServerError", Downloading + Way {Finished(D::ServerError)}, Removed, AsksWhileSelected},
    {"UsbBlocked", Downloading + Way {Finished(D::UsbBlocked)}, Dropped, Asks},
    {"UsbFull", Downloading + Way {Finished(D::UsbFull)}, Rechecked, Asks},
    {"UsbTooSmall", Downloading + Way {Finished(D::UsbTooSmall)}, Dropped, AtOnce},
    {"UsbCheck", Way {SelectWithout} + ToRoot + Way {CheckStarted}, Dropped, Asks},
};

TEST_F(MachineTest, EachLeafIsShownAsksForNamesAndAnswersRemovalAndQuitWithAndWithoutAStick)
{
    for (const auto& leaf : Leaves) {
        SCOPED_TRACE(leaf.name);
        Start();
        Do(leaf.way);
        const Journal way = Take();
        EXPECT_EQ(1, std::count(way.begin(), way.end(), "SetState " + std::string(leaf.name)));
        Do({User(&Ui::IUi::UpdateLocale), Pull(1)});
        EXPECT_EQ(Journal {"UpdateLocale"} + leaf.removal, Take());
        EXPECT_EQ(&leaf.removal == &Dropped ? leaf.name : "MapUpdateCheck", ActiveLeaf(*machine));
        for (bool selected : {true, false}) {
            Restart(leaf.way);
            if (!selected)
                UsbStorage::Instance().Clear();
            Do({User(&Ui::IUi::Quit)});
            EXPECT_EQ(Journal {leaf.quit[selected ? 0 : 1]}, Take()) << "selected: " << selected;
            EXPECT_EQ(leaf.name, ActiveLeaf(*machine));
        }
    }
    Do({User(&Ui::IUi::ForcedQuit)});
    EXPECT_EQ(Journal {"quit"}, Take());
}

// Retry resumes what failed: the catalogue's downloading map (also with a stick found beside it), or the check. A
// map the manager refused never became downloading: a new check, not a download without id.
TEST_F(MachineTest, RetryResumesTheInterruptedDownloadOrChecksAgain)
{
    const Way refused = ToOptional + Way {User(&Ui::IUi::DownloadMap, MapInfo::Id("EU"))};
    Run({
        {Interrupted, {Retry}, "MapDownload", {"DownloadMap EU"}},
        {Downloading + Way {Finished(D::ServerError)}, {Retry}, "MapDownload", {"DownloadMap EU"}},
        {Interrupted + Way {Insert(2, UsbInfo::ValidMetadata)}, {Retry}, "MapDownload", {"DownloadMap EU"}},
        {{SelectValid, Related(M::NoConnection)}, {Retry}, "MapUpdateCheck", NewCheck},
        {{SelectValid, Related(M::ServerError)}, {Retry}, "MapUpdateCheck", NewCheck},
        {{Root(M::InvalidMetadata)}, {Retry}, "MapUpdateCheck", NewCheck},
        {refused + Way {Finished(D::ServerError)}, {Retry}, "MapUpdateCheck", NewCheck},
        {refused + Way {Finished(D::NoConnection)}, {Retry}, "MapUpdateCheck", NewCheck},
    });
}

// The end of a cancellation goes back to the offer it came from, or checks a stick with metadata that was held
// back while the map was on another stick. A finish report means nothing there; the removal's own report ends it.
TEST_F(MachineTest, CancellationEndsInTheOfferItCameFromOrChecksAHeldBackStick)
{
    const Way ended = Way {Selects(1)} + Cancel + Way {Finished(D::Ok), Mark(MapInfo::Available), Finished(D::Aborted)};
    const Journal cancelled = {"AbortMapDownload", "SetState CancelDownload"};
    const auto back = [&](const Way& way, const char* leaf) {
        return Case {way, ended, leaf, cancelled + Journal {"SetState " + std::string(leaf)}};
    };
    Run({
        back(Way {SelectWithout} + ToRoot + Download, "RootUpdate"),
        back(Downloading, "OptionalUpdate"),
        back(Offer(MapInfo::Installed) + Download + Way {Finished(D::Ok)}, "UpToDate"),
        back(Offer(MapInfo::Mandatory) + Download + Way {Finished(D::UsbFull)}, "MandatoryUpdate"),
        back(Offer(MapInfo::Installed, M::SubscriptionExpired) + Download, "SubscriptionExpired"),
        {Way {SelectWithout} + ToRoot + Download + Way {Insert(2, UsbInfo::ValidMetadata)}, ended + Way {Selects(2)},
            "MapUpdateCheck", cancelled + NewCheck},
    });
}

// A new stick is selected when none is, or when it has metadata, the selected one has none and no map is on the
// selected stick or on its way. Only a verification that changed the selected stick bears on a check or an offer: a
// second stick is no result of the first one's check, and a late check result is no verification.
TEST_F(MachineTest, NewStickSelectionRuleAndWhatAVerificationChanges)
{
    const auto valid = UsbInfo::ValidMetadata, invalid = UsbInfo::InvalidMetadata, without = UsbInfo::NoMetadata;
    const Step late = Related(M::InvalidMetadata);
    const Journal listed = {"UpdateUsbs"}, corrupt = {"UpdateUsbs", "SetState MetadataCorrupt"};
    const Journal checking = {"SetState UsbCheck"};
    const Way rootFailed = {Root(M::NoConnection)};
    Run({
        {{}, {Checked(2, without), Selects(2)}, "MapUpdateCheck", Rechecked},
        {{Mark(MapInfo::Downloading)}, {Checked(2, valid), Selects(2)}, "MapUpdateCheck", Rechecked},
        {{SelectWithout, Mark(MapInfo::Available)}, {Checked(2, invalid), Selects(2)}, "MetadataCorrupt", corrupt},
        {{SelectWithout, Mark(MapInfo::Downloading)}, {Checked(2, valid), Selects(1)}, "MapUpdateCheck", listed},
        {{SelectWithout, Mark(MapInfo::Deleting)}, {Checked(2, valid), Selects(1)}, "MapUpdateCheck", listed},
        {{SelectWithout, Mark(MapInfo::Pending)}, {Checked(2, valid), Selects(1)}, "MapUpdateCheck", listed},
        {{SelectWithout}, {Checked(2, without), Selects(1)}, "MapUpdateCheck", listed},
        {{SelectValid}, {Checked(2, valid), Selects(1)}, "MapUpdateCheck", listed},
        {{[](T&) { AddUsb(1, invalid, true); }}, {Checked(2, valid), Selects(1)}, "MapUpdateCheck", listed},
        {{SelectValid}, {Insert(2, without), Map(MapInfo::Optional), Related(M::Ok), Selects(1)}, "OptionalUpdate",
            {"UpdateUsbs", "SetState OptionalUpdate"}},
        {{SelectValid}, {Insert(2, invalid), Selects(1)}, "MapUpdateCheck", listed},
        {{}, {Insert(2, invalid), Selects(2)}, "MetadataCorrupt", corrupt},
        {{SelectWithout}, {Insert(2, valid), Selects(2)}, "MapUpdateCheck", Rechecked},
        {{SelectWithout, Pull(1)}, {Insert(2, valid), Selects(2)}, "MapUpdateCheck", Rechecked},
        {ToRoot, {CheckStarted, CheckStarted, Checked(3, valid), Checked(2, without), Selects(3)}, "MapUpdateCheck",
            checking + Rechecked + Journal {"UpdateUsbs"}},
        {ToRoot, {CheckStarted, CheckStarted, Checked(2, without), Checked(3, valid), Selects(3)}, "MapUpdateCheck",
            {"SetState UsbCheck", "UpdateUsbs", "SetState RootUpdate", "UpdateUsbs", NewCheck[0], NewCheck[1]}},
        {Interrupted, {CheckStarted, late, Checked(2, without), Selects(1)}, "NoConnection",
            {"SetState UsbCheck", "UpdateUsbs", "SetState NoConnection"}},
        {rootFailed, {CheckStarted, late, Checked(2, without), Selects(2)}, "MapUpdateCheck", checking + Rechecked},
        {rootFailed, {CheckStarted, late, Checked(2, valid), Selects(2)}, "MapUpdateCheck", checking + Rechecked},
        {rootFailed, {CheckStarted, late, Checked(2, invalid), Selects(2)}, "MetadataCorrupt", checking + corrupt},
    });
}
