#include "UsbManager.h"
#include "FakeStick.h"
#include "LogCapture.h"
#include "StickContent.h"
#include "UsbStorage.h"

#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>

#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <vector>

namespace fs = boost::filesystem;

namespace {

constexpr int WaitMs = 5000;

fs::space_info Space(std::uintmax_t capacity, std::uintmax_t available)
{
    return {capacity, available + 100, available};
}

fs::space_info FixedSpace(const fs::path&)
{
    return Space(64000, 32000);
}

class UsbManagerTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        UsbStorage::Instance().Clear();
    }

    QString ValidStick(const QString& name)
    {
        const QString root = dir.path() + "/" + name;
        StickContent::WriteFile(root, "VexmarNDSUpdate/meta_data/GENERAL.JSON", "{}");
        StickContent::WriteChecksums(root);
        return root;
    }

    static DeviceDiscovery::DeviceProperties Drive(UsbInfo::Id uid, const QString& root)
    {
        DeviceDiscovery::DeviceProperties properties;
        properties.uid = uid;
        properties.path = QFile::encodeName(root).toStdString();
        return properties;
    }

    static void Select(UsbInfo::Id id, const QString& root, UsbInfo::State state = UsbInfo::ValidMetadata)
    {
        UsbInfo usb;
        usb.id = id;
        usb.path = root.toStdWString();
        usb.state = state;
        usb.selected = true;
        UsbStorage::Instance().UpdateUsb(usb);
    }

    QTemporaryDir dir;
};

// Records the manager's signals in the order they arrive.
class SignalLog : public QObject {
public:
    explicit SignalLog(UsbManager& manager)
    {
        connect(&manager, &UsbManager::UsbCheckStarted, this, [this] { events.push_back("started"); });
        connect(&manager, &UsbManager::UsbCheckComplete, this,
            [this](UsbInfo::Id id) { events.push_back("complete " + std::to_string(id)); });
        connect(&manager, &UsbManager::UsbRemoved, this,
            [this](UsbInfo::Id id) { events.push_back("removed " + std::to_string(id)); });
    }

    std::vector<std::string> events;
};

} // namespace

TEST_F(UsbManagerTest, ArrivedSticksAreCheckedInArrivalOrderAndStored)
{
    UsbManager manager(nullptr, FixedSpace);
    SignalLog log(manager);
    const QString valid = ValidStick("VALID");
    const QString plain = dir.path() + "/PLAIN";
    ASSERT_TRUE(QDir().mkpath(plain));

    manager.MassStorageCome(Drive(7, valid));
    manager.MassStorageCome(Drive(8, plain + "/"));
    EXPECT_TRUE(log.events.empty()) << "signals follow after the slot has returned";
    QTRY_COMPARE_WITH_TIMEOUT(log.events.size(), std::size_t(4), WaitMs);

    // Each check starts with its signal; the checks complete in arrival order.
    std::vector<std::string> completes;
    int started = 0;
    for (const std::string& event : log.events) {
        if (event == "started") {
            ++started;
            continue;
        }
        EXPECT_GT(started, static_cast<int>(completes.size())) << event << " before its start signal";
        completes.push_back(event);
    }
    EXPECT_EQ(started, 2);
    EXPECT_EQ(completes, (std::vector<std::string> {"complete 7", "complete 8"}));

    const UsbInfo checked = UsbStorage::Instance().GetUsb(7);
    EXPECT_EQ(checked.state, UsbInfo::ValidMetadata);
    EXPECT_EQ(checked.path, valid.toStdWString());
    EXPECT_EQ(checked.totalSpace, 64000u);
    EXPECT_EQ(checked.availableSpace, 32000u);
    EXPECT_FALSE(checked.selected);
    const UsbInfo withoutMetadata = UsbStorage::Instance().GetUsb(8);
    EXPECT_EQ(withoutMetadata.state, UsbInfo::NoMetadata);
    EXPECT_EQ(withoutMetadata.totalSpace, 64000u) << "space is measured without metadata too";
}

TEST_F(UsbManagerTest, PulledStickIsStoredWithoutSpace)
{
    UsbManager manager(nullptr, FixedSpace);
    QSignalSpy complete(&manager, &UsbManager::UsbCheckComplete);

    manager.MassStorageCome(Drive(3, dir.path() + "/GONE"));
    ASSERT_TRUE(complete.wait(WaitMs));
    const UsbInfo usb = UsbStorage::Instance().GetUsb(3);
    EXPECT_EQ(usb.state, UsbInfo::NoMetadata);
    EXPECT_EQ(usb.totalSpace, 0u);
    EXPECT_EQ(usb.availableSpace, 0u);
}

TEST_F(UsbManagerTest, CheckHittingFileSystemErrorStillCompletesAsInvalid)
{
    const QString stick = ValidStick("LOOPED");
    ASSERT_TRUE(QFile::link("loop", stick + "/VexmarNDSUpdate/loop"));
    UsbManager manager(nullptr, FixedSpace);
    QSignalSpy complete(&manager, &UsbManager::UsbCheckComplete);
    LogCapture capture;

    manager.MassStorageCome(Drive(5, stick));
    ASSERT_TRUE(complete.wait(WaitMs));
    EXPECT_EQ(complete.front().front().value<UsbInfo::Id>(), 5u);
    const UsbInfo usb = UsbStorage::Instance().GetUsb(5);
    EXPECT_EQ(usb.state, UsbInfo::InvalidMetadata);
    EXPECT_EQ(usb.totalSpace, 64000u);
    EXPECT_EQ(capture.Count(Log::Error, "File operation failed: "), 1);
}

TEST_F(UsbManagerTest, RemovalIsReportedAndLeavesTheRegistryAlone)
{
    Select(9, dir.path());
    UsbManager manager(nullptr, FixedSpace);
    QSignalSpy removed(&manager, &UsbManager::UsbRemoved);

    manager.MassStorageGo(9);
    ASSERT_EQ(removed.count(), 1);
    EXPECT_EQ(removed.front().front().value<UsbInfo::Id>(), 9u);
    EXPECT_TRUE(UsbStorage::Instance().GetUsb(9).IsValid());
}

TEST_F(UsbManagerTest, SpaceRefreshUpdatesTheSelectedStickAndRepeats)
{
    Select(1, dir.path());
    int queries = 0;
    UsbManager manager(nullptr, [&queries](const fs::path&) { return Space(1000 + ++queries, 10); });

    EXPECT_EQ(queries, 1) << "the first refresh runs at construction";
    EXPECT_EQ(UsbStorage::Instance().GetUsb(1).totalSpace, 1001u);
    QTRY_COMPARE_WITH_TIMEOUT(UsbStorage::Instance().GetUsb(1).totalSpace, std::uint64_t(1002), WaitMs);
    EXPECT_EQ(UsbStorage::Instance().GetUsb(1).availableSpace, 10u);
}

TEST_F(UsbManagerTest, AfterMovingToItsThreadTheManagerRefreshesAndChecksThere)
{
    Select(1, dir.path());
    std::atomic<int> runs {0};
    std::atomic<QThread*> secondRunThread {nullptr};
    QThread usbThread;
    auto* manager = new UsbManager(nullptr, [&runs, &secondRunThread](const fs::path&) {
        if (++runs == 2)
            secondRunThread = QThread::currentThread();
        return Space(1, 1);
    });
    EXPECT_EQ(runs.load(), 1) << "the first refresh runs on the constructing thread";
    QSignalSpy complete(manager, &UsbManager::UsbCheckComplete);
    manager->moveToThread(&usbThread);
    QObject::connect(&usbThread, &QThread::finished, manager, &QObject::deleteLater);
    usbThread.start();

    QTRY_VERIFY_WITH_TIMEOUT(runs >= 2, WaitMs);
    EXPECT_EQ(secondRunThread.load(), &usbThread);
    QMetaObject::invokeMethod(manager, "MassStorageCome", Qt::QueuedConnection,
        Q_ARG(const DeviceDiscovery::DeviceProperties&, Drive(4, ValidStick("QUEUED"))));
    EXPECT_TRUE(complete.wait(WaitMs));
    EXPECT_EQ(UsbStorage::Instance().GetUsb(4).state, UsbInfo::ValidMetadata);
    usbThread.quit();
    usbThread.wait();
}

TEST_F(UsbManagerTest, SpaceRefreshNeverUndoesChangesMadeMeanwhile)
{
    UsbStorage& storage = UsbStorage::Instance();
    Select(1, dir.path());
    // The GUI thread removes the stick while its space is being measured.
    UsbManager removing(nullptr, [&storage](const fs::path&) {
        storage.RemoveUsb(1);
        return Space(5, 5);
    });
    EXPECT_FALSE(storage.GetUsb(1).IsValid());
    EXPECT_FALSE(storage.GetSelectedUsb().IsValid());

    // ... or gives it another state and selects another stick.
    Select(1, dir.path());
    UsbManager changing(nullptr, [this, &storage](const fs::path&) {
        UsbInfo usb = storage.GetUsb(1);
        usb.state = UsbInfo::NoMetadata;
        storage.UpdateUsb(usb);
        Select(2, dir.path());
        return Space(5, 4);
    });
    const UsbInfo refreshed = storage.GetUsb(1);
    EXPECT_EQ(refreshed.state, UsbInfo::NoMetadata);
    EXPECT_FALSE(refreshed.selected);
    EXPECT_EQ(refreshed.totalSpace, 5u);
    EXPECT_EQ(refreshed.availableSpace, 4u);
    EXPECT_EQ(storage.GetSelectedUsb().id, 2u);
}

TEST_F(UsbManagerTest, SpaceOfAPulledSelectedStickIsLoggedNotStored)
{
    Select(1, dir.path() + "/GONE");
    LogCapture capture;
    UsbManager manager;
    EXPECT_EQ(capture.Count(Log::Error, "Failed to get space info: "), 1);
    EXPECT_EQ(UsbStorage::Instance().GetUsb(1).totalSpace, 0u);
}

TEST_F(UsbManagerTest, DiscoveredStickIsCheckedAndItsRemovalReported)
{
    FakeSticks sticks;
    const QString stick = ValidStick("STICK1");
    const QString block = sticks.Insert(stick);
    UsbManager manager(nullptr, FixedSpace);
    QSignalSpy complete(&manager, &UsbManager::UsbCheckComplete);
    QSignalSpy removed(&manager, &UsbManager::UsbRemoved);
    LogCapture capture;

    manager.StartUsbDiscovery();
    manager.StartUsbDiscovery();
    EXPECT_EQ(capture.Count(Log::Warning, "USB discovery is already in progress"), 1);

    ASSERT_TRUE(complete.wait(WaitMs));
    const UsbInfo::Id id = complete.front().front().value<UsbInfo::Id>();
    const UsbInfo usb = UsbStorage::Instance().GetUsb(id);
    EXPECT_EQ(usb.state, UsbInfo::ValidMetadata);
    EXPECT_EQ(usb.totalSpace, 64000u);
    EXPECT_EQ(usb.availableSpace, 32000u);

    sticks.Remove(block);
    ASSERT_TRUE(removed.wait(WaitMs));
    EXPECT_EQ(removed.front().front().value<UsbInfo::Id>(), id);
    EXPECT_EQ(complete.count(), 1);
}
