#include "Fakes.h"
#include "MachineTest.h"
#include "ShortRetryClient.h"

#include "../fmu/ServiceDocuments.h"

#include "Config.h"
#include "ContentService.h"
#include "FakeStick.h"
#include "MapStorage.h"
#include "ProductionCollaborators.h"
#include "StickContent.h"
#include "TestEnv.h"
#include "UsbStorage.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QtTest/QTest>

#include <gtest/gtest.h>

#include <algorithm>

namespace {

const MapInfo::Id Map = "EU_2024_05";
constexpr int WaitMs = 30000;

// The process's threads but Qt's own network helpers, which live as long as
// the process once a network access has been made.
QStringList Threads()
{
    QStringList names;
    for (const QString& task : QDir("/proc/self/task").entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        QFile comm("/proc/self/task/" + task + "/comm");
        comm.open(QIODevice::ReadOnly);
        const QString name = QString::fromUtf8(comm.readAll().trimmed());
        if (!name.startsWith("Qt bearer") && !name.startsWith("QDBus"))
            names << name;
    }
    return names;
}

// The machine with the real managers on their threads, a fake user interface,
// the local content service over HTTPS and sticks fabricated for discovery.
class RoadTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(service.Start(TestEnv::SourceDir() + "/tests/src/sm/fixtures/catalogue.json"));
        Config::Instance().updateSource = service.BaseUrl().toStdString();
        Config::Instance().updateKey = service.Key();
        UsbStorage::Instance().Clear();
        MapStorage::Instance().Clear();
        threadsBefore = Threads();
        machine = std::make_unique<StateMachine>(MakeCollaborators());
        machine->initiate();
        ASSERT_TRUE(WaitFor("RootUpdate"));
    }

    // No path may make the machine refuse an event.
    void TearDown() override
    {
        machine.reset();
        EXPECT_EQ(log.Count(Log::Error, "Refused"), 0);
    }

    Collaborators MakeCollaborators()
    {
        Collaborators collaborators = ProductionCollaborators(FakeMaker(journal, &ui));
        collaborators.makeMapUpdateManager = ShortRetryManager;
        collaborators.quit = [this] { journal->push_back("quit"); };
        return collaborators;
    }

    bool WaitFor(const std::string& leaf, int ms = WaitMs)
    {
        return QTest::qWaitFor([this, &leaf] { return ActiveLeaf(*machine) == leaf; }, ms);
    }

    // The screens shown since the last call.
    Journal Screens()
    {
        Journal screens;
        for (const std::string& entry : *journal)
            if (entry.rfind("SetState ", 0) == 0)
                screens.push_back(entry.substr(9));
        journal->clear();
        return screens;
    }

    // A stick whose head unit has the map EU_2023_05 and a subscription.
    QString StickWithMetadata(const QString& name = "STICK")
    {
        const QString root = sticks.MountDir(name);
        StickContent::WriteFile(root, "VexmarNDSUpdate/meta_data/GENERAL.JSON",
            R"({"subscription_end_date": "2099-12-31", "available_map_space": 50000000, "used_map_space": 1000})");
        StickContent::WriteFile(root, "VexmarNDSUpdate/meta_data/EU_2023_05.xml",
            QByteArray::fromStdString(ServiceDocuments::Package({"EU_2023_05", "EUR", "2023.05", "LINE_EU"})));
        StickContent::WriteChecksums(root);
        return root;
    }

    // Starts the download of the offered map, its archive held back for a
    // while after the first bytes, and waits until they are on the stick.
    void StartStalledDownload(int seconds = 20)
    {
        service.SetFault({{"path", "/files/" + QString::fromStdString(Map)}, {"kind", "stall"}, {"bytes", 200000},
            {"seconds", seconds}});
        emit ui->DownloadMap(Map);
        ASSERT_TRUE(QTest::qWaitFor(
            [this] {
                return MapStorage::Instance().FindMap(Map).downloaded > 0
                    && std::count(journal->begin(), journal->end(), "SetState MapDownload") == 1;
            },
            WaitMs));
        EXPECT_EQ("MapDownload", ActiveLeaf(*machine));
    }

    LogCapture log;
    ContentService service;
    FakeSticks sticks;
    std::shared_ptr<Journal> journal = std::make_shared<Journal>();
    FakeUi* ui = nullptr;
    QStringList threadsBefore;
    std::unique_ptr<StateMachine> machine;
};

} // namespace

TEST_F(RoadTest, RoadOfAStickFromTheRootOfferToAPendingMapAndBack)
{
    EXPECT_EQ((Journal {"MapUpdateCheck", "RootUpdate"}), Screens());
    const QString root = StickWithMetadata();
    const QString block = sticks.Insert({root});
    ASSERT_TRUE(WaitFor("OptionalUpdate"));
    EXPECT_EQ((Journal {"UsbCheck", "MapUpdateCheck", "OptionalUpdate"}), Screens());
    EXPECT_EQ(root.toStdWString(), UsbStorage::Instance().GetSelectedUsb().path);

    emit ui->DownloadMap(Map);
    ASSERT_TRUE(WaitFor("PendingUpdate"));
    EXPECT_EQ((Journal {"MapDownload", "PendingUpdate"}), Screens());
    EXPECT_EQ(600000, QFileInfo(root + "/VexmarNDSFull/EU_2024_05/DATA/ROUTING.NDS").size());
    EXPECT_TRUE(QFileInfo::exists(root + "/VexmarNDSFull/EU_2024_05.meta.xml"));
    EXPECT_EQ(MapInfo::Pending, MapStorage::Instance().FindMap(Map).state);

    // Pulled with the map on it: a new root check, without the removed-stick screen.
    sticks.Remove(block);
    ASSERT_TRUE(QTest::qWaitFor([] { return UsbStorage::Instance().IsEmpty(); }, WaitMs));
    ASSERT_TRUE(WaitFor("RootUpdate"));
    EXPECT_EQ((Journal {"MapUpdateCheck", "RootUpdate"}), Screens());
}

// The retry window runs out while the service is unreachable; Retry resumes
// behind the bytes already on the stick, and the whole archive's MD5 matches.
TEST_F(RoadTest, LostConnectionEndsInNoConnectionAndRetryResumes)
{
    sticks.Insert({StickWithMetadata()});
    ASSERT_TRUE(WaitFor("OptionalUpdate"));
    const QString archive = "/files/" + QString::fromStdString(Map);
    service.SetFault({{"path", archive}, {"kind", "drop_after"}, {"bytes", 300000}});
    service.SetFault({{"path", archive}, {"kind", "drop_after"}, {"bytes", 0}, {"times", -1}});
    emit ui->DownloadMap(Map);
    ASSERT_TRUE(WaitFor("NoConnection"));
    EXPECT_EQ(MapInfo::Downloading, MapStorage::Instance().FindMap(Map).state);

    service.ClearFaults();
    emit ui->Retry();
    ASSERT_TRUE(WaitFor("PendingUpdate"));
    const QStringList ranges = service.ArchiveRanges();
    ASSERT_FALSE(ranges.isEmpty());
    EXPECT_TRUE(ranges.front().isEmpty());
    EXPECT_TRUE(ranges.back().startsWith("bytes=")) << ranges.back().toStdString();
    EXPECT_NE("bytes=0-", ranges.back());
    EXPECT_EQ(MapInfo::Pending, MapStorage::Instance().FindMap(Map).state);
}

// Started from the root offer onto a stick without metadata: the cancellation
// ends there again.
TEST_F(RoadTest, CancelMidDownloadRemovesTheMapAndGivesTheSpaceBack)
{
    const QString root = sticks.MountDir("PLAIN");
    QDir().mkpath(root);
    sticks.Insert({root});
    ASSERT_TRUE(QTest::qWaitFor([] { return UsbStorage::Instance().GetSelectedUsb().IsValid(); }, WaitMs));
    ASSERT_TRUE(WaitFor("RootUpdate"));
    const auto space = MapStorage::Instance().GetSubscription().availableMapSpace;
    StartStalledDownload();
    EXPECT_LT(MapStorage::Instance().GetSubscription().availableMapSpace, space);

    emit ui->CancelDownload();
    ASSERT_TRUE(WaitFor("RootUpdate"));
    EXPECT_FALSE(QFileInfo::exists(root + "/VexmarNDSFull"));
    EXPECT_EQ(space, MapStorage::Instance().GetSubscription().availableMapSpace);
    EXPECT_EQ(MapInfo::Available, MapStorage::Instance().FindMap(Map).state);
}

// Discovery tells of the removal at once, or the stick's folder vanishes
// first (the download finds it gone once the archive flows again) and
// discovery tells seconds later: the removed-stick screen shows once.
TEST_F(RoadTest, StickPulledMidDownloadShowsItOnceAndChecksAgain)
{
    for (const bool vanishesFirst : {false, true}) {
        SCOPED_TRACE(vanishesFirst);
        FakeSticks::Disk disk {StickWithMetadata(vanishesFirst ? "VANISHING" : "STICK")};
        disk.serial = vanishesFirst ? "SER0002" : "SER0001";
        const QString block = sticks.Insert(disk);
        ASSERT_TRUE(WaitFor("OptionalUpdate"));
        StartStalledDownload(vanishesFirst ? 3 : 20);
        Screens();
        const int checks = log.Count(Log::Info, "Checking ");
        if (vanishesFirst) {
            // Again while the writer still adds to it.
            ASSERT_TRUE(QTest::qWaitFor(
                [&disk] { return QDir(disk.mountDir).removeRecursively() && !QFileInfo::exists(disk.mountDir); },
                WaitMs));
            ASSERT_TRUE(WaitFor("RootUpdate"));
            QTest::qWait(1000);
        }
        const int removals = log.Count(Log::Debug, "Usb: ");
        sticks.Remove(block);
        ASSERT_TRUE(QTest::qWaitFor([&] { return log.Count(Log::Debug, "Usb: ") > removals; }, WaitMs));
        ASSERT_TRUE(UsbStorage::Instance().IsEmpty());
        ASSERT_TRUE(WaitFor("RootUpdate"));
        // The download's end, whenever it comes, changes nothing.
        QTest::qWait(1500);
        EXPECT_EQ("RootUpdate", ActiveLeaf(*machine));
        EXPECT_EQ((Journal {"UsbRemoved", "MapUpdateCheck", "RootUpdate"}), Screens());
        EXPECT_EQ(checks + 1, log.Count(Log::Info, "Checking "));
    }
}

TEST_F(RoadTest, QuitWhileBusyAsksAndAForcedQuitLeavesNothingRunning)
{
    sticks.Insert({StickWithMetadata()});
    ASSERT_TRUE(WaitFor("OptionalUpdate"));
    StartStalledDownload();
    journal->clear();
    emit ui->Quit();
    EXPECT_EQ(Journal {"ConfirmQuit"}, *journal);
    emit ui->ForcedQuit();
    EXPECT_EQ((Journal {"ConfirmQuit", "quit"}), *journal);

    machine.reset();
    EXPECT_EQ("delete ui", journal->back());
    // The discovery thread ends shortly after its last discovery has stopped.
    EXPECT_TRUE(QTest::qWaitFor([this] { return Threads() == threadsBefore; }, 10000))
        << Threads().join(' ').toStdString();
}

// The second start makes nothing and quits; the first one is brought forward.
TEST_F(RoadTest, SecondStartActivatesTheFirst)
{
    int made = 0;
    Collaborators second;
    second.makeUi = [&made] { return ++made, nullptr; };
    second.quit = [this] { journal->push_back("second quit"); };
    StateMachine other(second);
    other.initiate();
    ASSERT_TRUE(QTest::qWaitFor([&other] { return other.terminated(); }, WaitMs));
    // The first instance's own check goes on meanwhile, so the activation need not be its latest call.
    ASSERT_TRUE(QTest::qWaitFor(
        [this] { return std::find(journal->begin(), journal->end(), "Activate") != journal->end(); }, WaitMs));
    EXPECT_EQ(1, std::count(journal->begin(), journal->end(), "second quit"));
    EXPECT_EQ(0, made);
}
