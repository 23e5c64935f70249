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
#include <tuple>
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

// What a check decides about a stick.
auto Verdict(UsbInfo::Id id)
{
    const UsbInfo usb = UsbStorage::Instance().GetUsb(id);
    return std::make_tuple(usb.state, usb.totalSpace, usb.availableSpace, usb.selected);
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

    void Select(UsbInfo::Id id, const QString& name = "SELECTED") const
    {
        UsbStorage::Instance().UpdateUsb(
            {id, (dir.path() + "/" + name).toStdWString(), 0, 0, UsbInfo::ValidMetadata, true});
    }

    QTemporaryDir dir;
};

} // namespace

TEST_F(UsbManagerTest, ArrivedSticksAreCheckedInArrivalOrderAndStored)
{
    UsbManager manager(nullptr, FixedSpace);
    std::vector<std::string> events;
    QObject::connect(&manager, &UsbManager::UsbCheckStarted, [&events] { events.push_back("started"); });
    QObject::connect(
        &manager, &UsbManager::UsbCheckComplete, [&events](UsbInfo::Id id) { events.push_back(std::to_string(id)); });
    LogCapture log;
    ASSERT_TRUE(QDir().mkpath(dir.path() + "/PLAIN"));
    const QString looped = ValidStick("LOOPED");
    ASSERT_TRUE(QFile::link("loop", looped + "/VexmarNDSUpdate/loop"));

    manager.MassStorageCome(Drive(7, ValidStick("VALID")));
    manager.MassStorageCome(Drive(8, dir.path() + "/PLAIN/"));
    manager.MassStorageCome(Drive(3, dir.path() + "/PULLED"));
    manager.MassStorageCome(Drive(5, looped));
    EXPECT_TRUE(events.empty()) << "signals follow after the slot has returned";
    QTRY_COMPARE_WITH_TIMEOUT(events.size(), std::size_t(8), WaitMs);

    // Every check is announced before it completes; checks complete in arrival order.
    std::vector<std::string> completes;
    int started = 0;
    for (const std::string& event : events) {
        if (event == "started") {
            ++started;
            continue;
        }
        EXPECT_GT(started, static_cast<int>(completes.size())) << event << " completed unannounced";
        completes.push_back(event);
    }
    EXPECT_EQ(completes, (std::vector<std::string> {"7", "8", "3", "5"}));
    EXPECT_EQ(Verdict(7), std::make_tuple(UsbInfo::ValidMetadata, 64000u, 32000u, false));
    EXPECT_EQ(UsbStorage::Instance().GetUsb(7).path, (dir.path() + "/VALID").toStdWString());
    EXPECT_EQ(Verdict(8), std::make_tuple(UsbInfo::NoMetadata, 64000u, 32000u, false)) << "measured all the same";
    EXPECT_EQ(Verdict(3), std::make_tuple(UsbInfo::NoMetadata, 0u, 0u, false)) << "pulled: no space";
    // A check that fails on the file system still completes, and the stick is not trusted.
    EXPECT_EQ(Verdict(5), std::make_tuple(UsbInfo::InvalidMetadata, 64000u, 32000u, false));
    EXPECT_EQ(log.Count(Log::Error, "File operation failed: "), 1);
}

TEST_F(UsbManagerTest, SpaceRefreshRepeatsOnTheManagersThreadOnceItHasMoved)
{
    Select(1);
    std::atomic<int> runs {0};
    std::atomic<QThread*> secondRunThread {nullptr};
    QThread usbThread;
    auto* manager = new UsbManager(nullptr, [&runs, &secondRunThread](const fs::path&) {
        if (++runs == 2)
            secondRunThread = QThread::currentThread();
        return Space(1000 + runs, 10);
    });
    EXPECT_EQ(runs.load(), 1) << "the first refresh runs on the constructing thread";
    EXPECT_EQ(Verdict(1), std::make_tuple(UsbInfo::ValidMetadata, 1001u, 10u, true));
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
    Select(1);
    // Another thread removes the stick while its space is being measured ...
    UsbManager removing(nullptr, [&storage](const fs::path&) {
        storage.RemoveUsb(1);
        return Space(5, 5);
    });
    EXPECT_FALSE(storage.GetUsb(1).IsValid());
    EXPECT_FALSE(storage.GetSelectedUsb().IsValid());

    // ... or gives it another state and selects another stick.
    Select(1);
    UsbManager changing(nullptr, [this, &storage](const fs::path&) {
        storage.UpdateUsb({1, L"/1", 0, 0, UsbInfo::NoMetadata, false});
        Select(2);
        return Space(5, 4);
    });
    EXPECT_EQ(Verdict(1), std::make_tuple(UsbInfo::NoMetadata, 5u, 4u, false));
    EXPECT_EQ(storage.GetSelectedUsb().id, 2u);
}

TEST_F(UsbManagerTest, SpaceOfAPulledSelectedStickIsLoggedNotStored)
{
    Select(1, "PULLED");
    LogCapture log;
    UsbManager manager;
    EXPECT_EQ(log.Count(Log::Error, "Failed to get space info: "), 1);
    EXPECT_EQ(Verdict(1), std::make_tuple(UsbInfo::ValidMetadata, 0u, 0u, true));
}

TEST_F(UsbManagerTest, DiscoveredStickIsCheckedAndItsRemovalReported)
{
    FakeSticks sticks;
    const QString block = sticks.Insert(ValidStick("STICK1"));
    UsbManager manager(nullptr, FixedSpace);
    QSignalSpy complete(&manager, &UsbManager::UsbCheckComplete);
    QSignalSpy removed(&manager, &UsbManager::UsbRemoved);
    LogCapture log;

    manager.StartUsbDiscovery();
    manager.StartUsbDiscovery();
    EXPECT_EQ(log.Count(Log::Warning, "USB discovery is already in progress"), 1);

    ASSERT_TRUE(complete.wait(WaitMs));
    const UsbInfo::Id id = complete.front().front().value<UsbInfo::Id>();
    EXPECT_EQ(Verdict(id), std::make_tuple(UsbInfo::ValidMetadata, 64000u, 32000u, false));

    sticks.Remove(block);
    ASSERT_TRUE(removed.wait(WaitMs));
    EXPECT_EQ(removed.front().front().value<UsbInfo::Id>(), id);
    EXPECT_EQ(complete.count(), 1);
    EXPECT_TRUE(UsbStorage::Instance().GetUsb(id).IsValid()) << "removing the record is the caller's business";
}
