#include "MachineTest.h"
#include "RealManagers.h"

#include "ProductionCollaborators.h"

// The real managers on their threads, the local content service and a fabricated stick whose folder vanishes
// mid-download, first for a moment, then for good; discovery tells of the second a second after the machine noticed.
// One removed-stick screen, one new check.
TEST(RealManagers, StickWhoseFolderVanishedMidDownloadShowsOneRemovedScreenAndEndsAtTheRootOffer)
{
    LogCapture log;
    ContentService service;
    ASSERT_TRUE(StartService(service));
    FakeSticks sticks;
    const QString root = OfferedStick(sticks);
    UsbStorage::Instance().Clear(), MapStorage::Instance().Clear();
    FakeUi* ui = nullptr;
    StateMachine machine(ProductionCollaborators(Maker(&ui)));
    machine.initiate();
    const auto reaches
        = [&machine](const char* leaf) { return QTest::qWaitFor([&] { return ActiveLeaf(machine) == leaf; }, 30000); };
    ASSERT_TRUE(reaches("RootUpdate"));
    const QString block = sticks.Insert({root});
    ASSERT_TRUE(reaches("OptionalUpdate"));

    // The archive stalls after its first bytes, so the folder goes while the download runs.
    const auto stalledDownload = [&] {
        service.SetFault({{"path", "/files/EU_2024_05"}, {"kind", "stall"}, {"bytes", 200000}, {"seconds", 3}});
        emit ui->DownloadMap("EU_2024_05");
        return QTest::qWaitFor(
            [] {
                return MapStorage::Instance().FindMap("EU_2024_05").downloaded > 0
                    && journal.back() == "SetState MapDownload";
            },
            30000);
    };
    // A stick that blinks: its folder is away while discovery still lists it, then answers again. It is taken out,
    // and discovered and checked anew, as a newly inserted stick is.
    ASSERT_TRUE(stalledDownload());
    const QString away = root + ".away";
    ASSERT_TRUE(QDir().rename(root, away));
    ASSERT_TRUE(reaches("RootUpdate"));
    EXPECT_TRUE(UsbStorage::Instance().IsEmpty());
    const int detected = log.Count(Log::Debug, "Detected device: ");
    ASSERT_TRUE(QDir().rename(away, root));
    ASSERT_TRUE(reaches("OptionalUpdate"));
    EXPECT_EQ(detected + 1, log.Count(Log::Debug, "Detected device: "));
    EXPECT_TRUE(Selected().IsValid());

    ASSERT_TRUE(stalledDownload());
    journal.clear();
    const int checks = log.Count(Log::Info, "Checking ");
    // Again while the writer still adds to it.
    ASSERT_TRUE(QTest::qWaitFor([&] { return QDir(root).removeRecursively() && !QFileInfo::exists(root); }, 30000));
    ASSERT_TRUE(reaches("RootUpdate"));
    QTest::qWait(1000);
    sticks.Remove(block);
    ASSERT_TRUE(QTest::qWaitFor([] { return journal.back() == "UpdateUsbs"; }, 30000));
    EXPECT_TRUE(UsbStorage::Instance().IsEmpty());
    // Taken out, the screens of one removal, discovery's late report.
    EXPECT_EQ(
        (Journal {"UpdateUsbs", "SetState UsbRemoved", NewCheck[0], "SetState RootUpdate", "UpdateUsbs"}), journal);
    EXPECT_EQ(checks + 1, log.Count(Log::Info, "Checking "));
    EXPECT_EQ(0, log.Count(Log::Error, "Refused"));
}
