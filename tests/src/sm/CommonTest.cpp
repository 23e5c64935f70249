#include "MachineTest.h"

#include "States/Common.h"

#include <QThread>

#include <gmock/gmock.h>

#include <atomic>

// Before the guard's report nothing is made and the user's events go nowhere: a second instance quits unseen.
TEST_F(MachineTest, StartAsksForOneCheckTeardownStopsBeforeDeletingAndASecondInstanceQuitsUnseen)
{
    EXPECT_EQ(NewCheck, Take());
    machine->process_event(Events::Activate());
    machine.reset();
    EXPECT_EQ((Journal {"Activate", "Stop usb manager", "Stop map update manager", "delete map update manager",
                  "delete usb manager", "delete ui"}),
        Take());

    StateMachine second(FakeCollaborators());
    second.initiate();
    EXPECT_THROW(second.HandleApplicationEvent(static_cast<ApplicationGuard::Event>(3)), std::logic_error);
    second.process_event(Events::Quit());
    second.HandleApplicationEvent(ApplicationGuard::Quit);
    EXPECT_EQ(Journal {"quit"}, journal); // made and torn down, the fakes would say so

    // A manager without the signals the machine listens to stops the start, rather than warning unread later.
    Collaborators mute = FakeCollaborators();
    mute.makeUsbManager = [] {
        auto fake = std::make_unique<Fake>();
        fake->reachable = false;
        return fake;
    };
    StateMachine third(mute);
    third.initiate();
    EXPECT_THAT([&] { third.HandleApplicationEvent(ApplicationGuard::StartUp); },
        ::testing::ThrowsMessage<std::logic_error>(::testing::HasSubstr("Failed to connect manager signal")));
}

TEST_F(MachineTest, EventRaisedWhileAnotherIsProcessedIsRefused)
{
#ifndef NDEBUG
    GTEST_SKIP() << "debug builds stop at the refusal's assertion";
#endif
    refusals = 1;
    ui->nested = [this] { machine->process_event(Events::Quit()); };
    Related(M::ServerError)(*this);
    EXPECT_EQ(1, log.Count(Log::Error, "Refused Events::Quit: another event is being processed"));
    EXPECT_EQ(0, log.Count(Log::Info, "Got Quit event"));
    // The refusal leaves the machine able to process the next event.
    machine->process_event(Events::Quit());
    EXPECT_EQ("quit", journal.back());
}

// Those not in the leaves' table. A root check reads nothing from a stick: unusable answers are the service's. A
// related Ok without a valid map answers a check whose catalogue a newer one emptied.
TEST_F(MachineTest, ManagerResultsLeadToTheirLeaves)
{
    const Way valid = {SelectValid};
    Run({
        {{}, {Root(M::Ok)}, "RootUpdate", RootShown},
        {{}, {Root(M::InvalidMetadata)}, "ServerError", {"SetState ServerError"}},
        {{}, {Root(M::ServerError)}, "ServerError", {"SetState ServerError"}},
        {{}, {Root(M::NoConnection)}, "NoConnection", {"SetState NoConnection"}},
        {{}, {Root(M::NoMetadata)}, "MapUpdateCheck", NewCheck},
        {valid,
            {Map(MapInfo::Optional, "A"), Map(MapInfo::Mandatory, "B"), Map(MapInfo::Installed, "C"), Related(M::Ok)},
            "MandatoryUpdate", {"SetState MandatoryUpdate"}},
        {valid, {Map(MapInfo::Installed, "C"), Map(MapInfo::Optional, "A"), Related(M::Ok)}, "OptionalUpdate",
            {"SetState OptionalUpdate"}},
        {valid, {Map(MapInfo::Installed), Related(M::Ok)}, "UpToDate", {"SetState UpToDate"}},
        {valid, {Related(M::Ok)}, "MapUpdateCheck", {}},
        {Downloading, {Finished(D::Aborted)}, "CancelDownload", {"AbortMapDownload"}},
        {Downloading, {Finished(D::UsbRemoved)}, "MapUpdateCheck", Removed},
        // Repeated for new names: the offer shown again, no new check.
        {ToOptional, {Related(M::Ok)}, "OptionalUpdate", {"SetState OptionalUpdate"}},
        {Offer(MapInfo::Mandatory), {Related(M::Ok)}, "MandatoryUpdate", {"SetState MandatoryUpdate"}},
        {Offer(MapInfo::Installed), {Related(M::Ok)}, "UpToDate", {"SetState UpToDate"}},
        {ToRoot, {Root(M::Ok)}, "RootUpdate", RootShown},
        {Offer(MapInfo::Installed, M::SubscriptionExpired), {Related(M::SubscriptionExpired)}, "SubscriptionExpired",
            {}},
        // An operation's start shows what the catalogue holds then: a map not marked yet shows nothing.
        {ToOptional, {User(&Ui::IUi::DownloadMap, MapInfo::Id("EU")), Started}, "MapDownload", {"DownloadMap EU"}},
        {Downloading, {User(&Ui::IUi::CancelDownload), Started}, "CancelDownload", {"AbortMapDownload"}},
        {valid, {Related(M::NoMetadata)}, "MapUpdateCheck", NewCheck},
    });
    EXPECT_EQ(1, log.Count(Log::Error, "Failed to check related updates: no valid map found"));
    // No metadata marks the selected stick (the last case); without one nothing is stored, no stick with id 0.
    EXPECT_EQ(UsbInfo::NoMetadata, Selected().state);
    Restart({Related(M::NoMetadata)});
    EXPECT_TRUE(UsbStorage::Instance().IsEmpty());

    // A result no manager sends is a programming error, not a leaf.
    Restart(Downloading);
    auto& common = const_cast<States::Common&>(machine->state_cast<const States::Common&>());
    const auto deliver = [&](const char* slot, QGenericArgument result) {
        EXPECT_THROW(QMetaObject::invokeMethod(&common, slot, Qt::DirectConnection, result), std::logic_error) << slot;
    };
    for (const M::Result result : {M::NoSubscription, M::SubscriptionExpired, M::UsbRemoved, M::Result(8)})
        deliver("OnRootUpdates", Q_ARG(MetadataChecker::Result, result));
    deliver("OnRelatedUpdates", Q_ARG(MetadataChecker::Result, M::Result(8)));
    deliver("OnMapOperationFinished", Q_ARG(MapDownloader::Result, D::Result(8)));
}

// Sticks 2, 3, 4 without, with invalid and with valid metadata: the best one left replaces it, also none. A stick
// never stored (its check failed) is unknown.
TEST_F(MachineTest, RemovingTheSelectedStickSelectsAReplacementByMetadataAnotherOnlyRefreshesTheList)
{
    const Step without = Stick(2, UsbInfo::NoMetadata), invalid = Stick(3, UsbInfo::InvalidMetadata);
    Run({
        {ToOptional + Way {without, invalid, Stick(4, UsbInfo::ValidMetadata)}, {Pull(1), Selects(4)}, "MapUpdateCheck",
            Rechecked},
        {ToOptional + Way {without, invalid}, {Pull(1), Selects(3)}, "MapUpdateCheck", Rechecked},
        {ToOptional + Way {without}, {Pull(1), Selects(2)}, "MapUpdateCheck", Rechecked},
        {ToOptional, {Pull(1), Selects(0)}, "MapUpdateCheck", Rechecked},
        {ToOptional + Way {without}, {Pull(2), Pull(9), Selects(1)}, "OptionalUpdate", {"UpdateUsbs", "UpdateUsbs"}},
    });
    EXPECT_EQ(1, log.Count(Log::Warning, "Usb: 9 is not known"));
}

// A check result the manager sent before it took the machine's newer check belongs to the older one: it is
// dropped, and the newer check's own decides. A check ends the operation before it, so an operation's result
// already on its way is not the check's either.
TEST_F(MachineTest, ResultsOfAnEarlierCheckOrOperationAreDropped)
{
    const Step hold = [](T& test) { test.holding = true; };
    const Step release = [](T& test) { test.holding = false, test.Pump(); };
    const Way offered = {SelectValid, Map(MapInfo::Optional)}; // what the older check found
    const Step valid = Insert(2, UsbInfo::ValidMetadata), without = Insert(3, UsbInfo::NoMetadata);
    Run({
        {offered, {hold, Pull(1), Related(M::InvalidMetadata), release, Root(M::Ok)}, "RootUpdate",
            Removed + RootShown},
        {offered, {hold, Pull(1), Related(M::NoSubscription), release, Root(M::Ok)}, "RootUpdate", Removed + RootShown},
        {offered, {hold, Pull(1), Related(M::SubscriptionExpired), release, Root(M::Ok)}, "RootUpdate",
            Removed + RootShown},
        {offered, {hold, Pull(1), Related(M::Ok), release, Root(M::Ok)}, "RootUpdate", Removed + RootShown},
        {ToOptional, {hold, Pull(1), Related(M::Ok), release, Root(M::Ok)}, "RootUpdate", Rechecked + RootShown},
        {{Map(MapInfo::Optional)}, {hold, valid, Root(M::Ok), release, Related(M::Ok)}, "OptionalUpdate",
            Rechecked + Journal {"SetState OptionalUpdate"}},
        {{Map(MapInfo::Optional)}, {hold, valid, without, Root(M::Ok), release, Related(M::Ok)}, "OptionalUpdate",
            {"UpdateUsbs", NewCheck[0], "UpdateUsbs", NewCheck[1], "SetState OptionalUpdate"}},
        {{Map(MapInfo::Optional)}, {hold, without, valid, Root(M::Ok), release, Related(M::Ok)}, "OptionalUpdate",
            {"UpdateUsbs", NewCheck[0], "UpdateUsbs", NewCheck[0], NewCheck[1], NewCheck[1],
                "SetState OptionalUpdate"}},
        {Downloading, {Pull(1), Finished(D::NoConnection), Finished(D::ServerError), Finished(D::UsbRemoved)},
            "MapUpdateCheck", Removed},
    });
    EXPECT_EQ(8, log.Count(Log::Debug, "Dropped result of an earlier check: "));
    EXPECT_EQ(3, log.Count(Log::Debug, "Dropped map operation result: "));
}

// Before discovery noticed: one removed-stick screen and one new check follow, and discovery's late report only
// refreshes the list. A stick whose root is still there stays selected, and is checked again.
TEST_F(MachineTest, StickWhoseRootVanishedIsTakenOutAtOnce)
{
    // The new check answered as the manager would: stick 1 is still gone.
    const Step answer = [](T& test) {
        const UsbInfo selected = Selected();
        test.Do({selected.IsValid() ? Related(selected.id == 1 ? M::UsbRemoved : M::Ok) : Root(M::Ok), Pull(1)});
    };
    const Step gone = Finished(D::UsbRemoved);
    const Journal removedToRoot = Removed + RootShown + Journal {"UpdateUsbs"};
    Run({
        {Downloading, {gone, answer}, "RootUpdate", removedToRoot},
        {{SelectValid}, {Related(M::UsbRemoved), answer}, "RootUpdate", removedToRoot},
        {Downloading + Cancel, {gone, answer}, "RootUpdate", removedToRoot},
        {ToOptional + Way {Stick(2, UsbInfo::ValidMetadata)} + Download, {gone, answer}, "OptionalUpdate",
            Removed + Journal {"SetState OptionalUpdate", "UpdateUsbs"}},
        {{[](T&) { AddUsb(1, UsbInfo::ValidMetadata, true, L"/"); }}, {Related(M::UsbRemoved), Selects(1)},
            "MapUpdateCheck", {"SetState UsbRemoved", NewCheck[0], NewCheck[1]}},
        // Discovery tells while the root is asked: its removal is the one shown, the root's late answer none.
        {Downloading,
            {[](T& test) { test.holding = true; }, gone, Pull(1), [](T& test) { test.holding = false, test.Pump(); }},
            "MapUpdateCheck", Removed},
    });
    EXPECT_EQ(0, log.Count(Log::Warning, "Usb: 1 is not known"));
}

// A root that does not answer (a dead mount) is asked off the GUI thread: the user is answered meanwhile, the stick
// counts as gone after a bound, and once its root answers again discovery is asked to report it anew.
TEST_F(MachineTest, ARootThatDoesNotAnswerHoldsNeitherTheWindowNorTheRemoval)
{
    std::atomic<bool> hung {true};
    std::atomic<int> asked {0}, onGuiThread {0}, running {0};
    QThread* const gui = QThread::currentThread();
    Start([&](Collaborators& collaborators) {
        collaborators.rootsOnThreads = true;
        collaborators.rootAnswers = [&](const boost::filesystem::path&) {
            ++running, ++asked, onGuiThread += QThread::currentThread() == gui;
            for (int waited = 0; hung && waited < 30000; waited += 10)
                QThread::msleep(10);
            return --running, true;
        };
    });
    Do(Downloading), Take();
    Do({Finished(D::UsbRemoved), User(&Ui::IUi::Quit)});
    EXPECT_EQ(Journal {"ConfirmQuit"}, journal);
    ASSERT_TRUE(QTest::qWaitFor([] { return journal.back() == NewCheck[1]; }, 10000));
    EXPECT_FALSE(Selected().IsValid());
    hung = false;
    ASSERT_TRUE(QTest::qWaitFor([] { return journal.back() == "RediscoverUsb 1"; }, 10000));
    EXPECT_EQ(
        (Journal {"ConfirmQuit", "UpdateUsbs", "SetState UsbRemoved", NewCheck[0], NewCheck[1], "RediscoverUsb 1"}),
        Take());
    EXPECT_TRUE(QTest::qWaitFor([&] { return running == 0; }));
    EXPECT_EQ(0, onGuiThread);
    EXPECT_EQ(2, asked); // the hung question and the watch's next one; none asked meanwhile
}

// Logged; the work that waits for its answer fails (Retry asks again); nothing waits for new names.
TEST_F(MachineTest, RequestsThatCannotBeInvokedEndInServerError)
{
    const Step unreachable = [](T& test) { test.maps->reachable = false; };
    Run({
        {{Related(M::NoConnection)}, {unreachable, Retry}, "ServerError",
            {"SetState MapUpdateCheck", "SetState ServerError"}},
        {ToOptional, {unreachable, User(&Ui::IUi::DownloadMap, MapInfo::Id("EU"))}, "ServerError",
            {"SetState ServerError"}},
        {Downloading, {unreachable, User(&Ui::IUi::CancelDownload)}, "ServerError", {"SetState ServerError"}},
        {ToOptional, {unreachable, User(&Ui::IUi::UpdateLocale)}, "OptionalUpdate", {}},
    });
    EXPECT_EQ(4, log.Count(Log::Error, "Failed to invoke manager method: "));
}
