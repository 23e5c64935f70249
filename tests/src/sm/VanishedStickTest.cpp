#include "MachineTest.h"

#include "../fmu/ServiceDocuments.h"

#include "Config.h"
#include "ContentService.h"
#include "FakeStick.h"
#include "ProductionCollaborators.h"
#include "StickContent.h"
#include "TestEnv.h"
#include "TestFiles.h"
#include "TestHome.h"
#include "UsbManager.h"

#include <QElapsedTimer>
#include <QPointer>

#include <atomic>

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

// The real managers on their threads, the local content service and a fabricated stick whose folder vanishes
// mid-download, first for a moment, then for good; discovery tells of the second a second after the machine noticed.
// One removed-stick screen, one new check.
TEST(RealManagers, StickWhoseFolderVanishedMidDownloadShowsOneRemovedScreenAndEndsAtTheRootOffer)
{
    LogCapture log;
    ContentService service;
    ASSERT_TRUE(service.Start(TestEnv::SourceDir() + "/tests/src/sm/fixtures/catalogue.json"));
    Config::Instance().updateSource = service.BaseUrl().toStdString();
    Config::Instance().updateKey = service.Key();
    FakeSticks sticks;
    const QString root = sticks.MountDir("STICK");
    ASSERT_TRUE(TestFiles::Write(root + "/VexmarNDSUpdate/meta_data/GENERAL.JSON",
        R"({"subscription_end_date": "2099-12-31", "available_map_space": 50000000, "used_map_space": 1000})"));
    ASSERT_TRUE(TestFiles::Write(root + "/VexmarNDSUpdate/meta_data/EU_2023_05.xml",
        QByteArray::fromStdString(ServiceDocuments::Package({"EU_2023_05", "EUR", "2023.05", "LINE_EU"}))));
    StickContent::WriteChecksums(root);
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

// The teardown joins every thread, also one busy with the selected stick's space. One held longer in a call on a stick
// that does not answer (a dead mount) is left running: the user interface and the single-instance lock go all the
// same, within the bound, and the log says what was left.
TEST(RealManagers, TeardownJoinsEveryThreadButLeavesOneHeldByAStickThatDoesNotAnswer)
{
    const QString lock = TestHome::OwnRuntimeFolder() + "/TESSALY_SINGLE_INSTANCE_MUTEX.lock";
    const auto locked = [&lock] {
        const int fd = ::open(QFile::encodeName(lock), O_RDONLY | O_CLOEXEC);
        const bool held = fd >= 0 && ::flock(fd, LOCK_EX | LOCK_NB) != 0;
        return ::close(fd), held;
    };
    Config::Instance().updateSource = "https://127.0.0.1:9/brel/v1"; // the check fails, locally
    for (const bool hung : {false, true}) {
        SCOPED_TRACE(hung ? "hung" : "answering");
        LogCapture log;
        UsbStorage::Instance().Clear(), MapStorage::Instance().Clear(), journal.clear();
        std::atomic<bool> hold {false};
        std::atomic<int> queries {0};
        const auto space = [&](const boost::filesystem::path&) {
            ++queries;
            for (int waited = 0; hold && waited < 10000; waited += 5) // not for good: the old teardown would wait
                QThread::msleep(5);
            return boost::filesystem::space_info {1 << 30, 1 << 29, 1 << 29};
        };
        QPointer<QObject> usbManager;
        int left = 0;
        Collaborators collaborators = ProductionCollaborators(Maker<FakeUi>(nullptr));
        collaborators.makeUsbManager = [&] {
            auto made = std::make_unique<UsbManager>(nullptr, space);
            usbManager = made.get();
            return made;
        };
        collaborators.threadLeft = [&left] { ++left; };
        auto machine = std::make_unique<StateMachine>(collaborators);
        machine->initiate();
        ASSERT_TRUE(QTest::qWaitFor([&machine] { return ActiveLeaf(*machine) == "MapUpdateCheck"; }));
        UsbInfo stick;
        stick.id = 7, stick.path = L"/media/stick", stick.selected = true;
        UsbStorage::Instance().UpdateUsb(stick);
        hold = hung;
        ASSERT_TRUE(QTest::qWaitFor([&queries] { return queries > 0; }, 5000)); // a refresh each second
        ASSERT_TRUE(locked());

        QElapsedTimer teardown;
        teardown.start();
        machine.reset();
        EXPECT_LT(teardown.elapsed(), 3000);
        EXPECT_EQ(journal.back(), "delete ui");
        EXPECT_FALSE(locked());
        EXPECT_EQ(left, hung ? 1 : 0);
        EXPECT_EQ(
            log.Count(Log::Error, "Did not wait for the thread of UsbManager: it did not stop within 2000 ms"), left);
        EXPECT_EQ(usbManager.isNull(), !hung); // deleted once its thread was joined
        if (usbManager) {
            QThread* const thread = usbManager->thread();
            hold = false;
            EXPECT_TRUE(thread->wait(5000)); // told to quit, it ends once the call returns
        }
    }
}
