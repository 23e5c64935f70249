#include "UsbManager.h"
#include "FakeStick.h"
#include "StickContent.h"
#include "ThreadWarnings.h"
#include "UsbStorage.h"

#include <QCryptographicHash>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>

#include <gtest/gtest.h>

#include <atomic>
#include <tuple>

namespace fs = boost::filesystem;

namespace {

constexpr int WaitMs = 5000;

fs::space_info FixedSpace(const fs::path&)
{
    return {64000, 32100, 32000};
}

auto Verdict(UsbInfo::Id id)
{
    const UsbInfo usb = UsbStorage::Instance().GetUsb(id);
    return std::make_tuple(usb.state, usb.totalSpace, usb.availableSpace, usb.selected);
}

DeviceDiscovery::DeviceProperties Drive(UsbInfo::Id id, const QString& root)
{
    DeviceDiscovery::DeviceProperties drive;
    drive.uid = id;
    drive.path = QFile::encodeName(root).toStdString();
    return drive;
}

class UsbManagerTest : public ::testing::Test {
protected:
    void SetUp() override { UsbStorage::Instance().Clear(); }

    QString ValidStick(const QString& name)
    {
        const QString root = dir.filePath(name);
        StickContent::WriteFile(root, "VexmarNDSUpdate/meta_data/GENERAL.JSON", "{}");
        StickContent::WriteChecksums(root);
        return root;
    }

    static void Select(UsbInfo::Id id)
    {
        UsbStorage::Instance().UpdateUsb({id, L"/selected", 0, 0, UsbInfo::ValidMetadata, true});
    }

    QTemporaryDir dir;
};

} // namespace

TEST_F(UsbManagerTest, DiscoveredStickIsCheckedAndItsRemovalReported)
{
    FakeSticks sticks;
    const QString block = sticks.Insert({ValidStick("STICK1")});
    UsbManager manager(nullptr, FixedSpace);
    QSignalSpy complete(&manager, &UsbManager::UsbCheckComplete);
    QSignalSpy removed(&manager, &UsbManager::UsbRemoved);
    manager.StartUsbDiscovery();

    ASSERT_TRUE(complete.wait(WaitMs));
    const UsbInfo::Id id = complete.front().front().value<UsbInfo::Id>();
    EXPECT_EQ(Verdict(id), std::make_tuple(UsbInfo::ValidMetadata, 64000u, 32000u, false));
    EXPECT_EQ(UsbStorage::Instance().GetUsb(id).path, dir.filePath("STICK1").toStdWString());

    sticks.Remove(block);
    ASSERT_TRUE(removed.wait(WaitMs));
    EXPECT_EQ(removed.front().front().value<UsbInfo::Id>(), id);
}

TEST_F(UsbManagerTest, CheckFailingOnTheFileSystemStoresInvalidMetadataAndCompletes)
{
    const QString looped = ValidStick("LOOPED");
    ASSERT_TRUE(QFile::link("loop", looped + "/VexmarNDSUpdate/loop"));
    UsbManager manager(nullptr, FixedSpace);
    QSignalSpy complete(&manager, &UsbManager::UsbCheckComplete);
    manager.MassStorageCome(Drive(5, looped));

    ASSERT_TRUE(complete.wait(WaitMs));
    EXPECT_EQ(Verdict(5), std::make_tuple(UsbInfo::InvalidMetadata, 64000u, 32000u, false));
}

// A stick pulled while its check is still queued: the removal must follow the
// check, or the record the check stores would outlive the stick.
TEST_F(UsbManagerTest, RemovalQueuedBehindAPendingCheckIsReportedAfterIt)
{
    UsbManager manager(nullptr, FixedSpace);
    QStringList order;
    QObject::connect(&manager, &UsbManager::UsbCheckStarted, [&] { order << "started"; });
    QObject::connect(
        &manager, &UsbManager::UsbCheckComplete, [&](UsbInfo::Id id) { order << "complete " + QString::number(id); });
    QObject::connect(
        &manager, &UsbManager::UsbRemoved, [&](UsbInfo::Id id) { order << "removed " + QString::number(id); });
    manager.MassStorageCome(Drive(7, dir.filePath("PULLED")));
    manager.MassStorageGo(7);

    ASSERT_TRUE(QTest::qWaitFor([&] { return order.size() == 3; }, WaitMs));
    EXPECT_EQ(order.join(", ").toStdString(), "started, complete 7, removed 7");
}

TEST_F(UsbManagerTest, SpaceRefreshNeverBringsBackOrReselectsAStick)
{
    UsbStorage& storage = UsbStorage::Instance();
    Select(1);
    UsbManager removing(nullptr, [&storage](const fs::path&) {
        storage.RemoveUsb(1);
        return FixedSpace({});
    });
    EXPECT_FALSE(storage.GetUsb(1).IsValid());
    EXPECT_FALSE(storage.GetSelectedUsb().IsValid());

    Select(1);
    UsbManager changing(nullptr, [&storage](const fs::path&) {
        storage.UpdateUsb({1, L"/1", 0, 0, UsbInfo::NoMetadata, false});
        Select(2);
        return FixedSpace({});
    });
    EXPECT_EQ(Verdict(1), std::make_tuple(UsbInfo::NoMetadata, 64000u, 32000u, false));
    EXPECT_EQ(storage.GetSelectedUsb().id, 2u);
}

TEST_F(UsbManagerTest, SpaceRefreshRepeatsOnTheManagersThreadOnceItHasMoved)
{
    Select(1);
    std::atomic<QThread*> lastThread {nullptr};
    QThread usbThread;
    auto* manager = new UsbManager(nullptr, [&lastThread](const fs::path&) {
        lastThread = QThread::currentThread();
        return FixedSpace({});
    });
    manager->moveToThread(&usbThread);
    QObject::connect(&usbThread, &QThread::finished, manager, &QObject::deleteLater);
    usbThread.start();
    EXPECT_TRUE(QTest::qWaitFor([&] { return lastThread == &usbThread; }, WaitMs));
    usbThread.quit();
    usbThread.wait();
}

// A listed file far too large to hash while the test runs (1 TiB, sparse) keeps the check busy: quitting must
// still stop it, from the manager's own thread, with nothing emitted afterwards and nothing left to warn about.
TEST_F(UsbManagerTest, StopEndsACheckThatWouldNeverFinish)
{
    const ThreadWarnings warnings;
    const QString root = dir.filePath("ENDLESS");
    StickContent::WriteFile(root, "VexmarNDSUpdate/meta_data/GENERAL.JSON", "{}");
    StickContent::WriteFile(root, "VexmarNDSUpdate/HUGE", "");
    ASSERT_TRUE(QFile::resize(root + "/VexmarNDSUpdate/HUGE", 1LL << 40));
    const QByteArray json = QCryptographicHash::hash("{}", QCryptographicHash::Md5).toHex();
    StickContent::WriteFile(
        root, "VexmarNDSUpdate/CHECKSUMS.MD5", json + "  meta_data/GENERAL.JSON\n" + QByteArray(32, '0') + "  HUGE\n");

    QThread usbThread;
    auto* manager = new UsbManager(nullptr, FixedSpace);
    std::atomic<int> started {0};
    std::atomic<int> completed {0};
    QObject::connect(
        manager, &UsbManager::UsbCheckStarted, manager, [&] { ++started; }, Qt::DirectConnection);
    QObject::connect(
        manager, &UsbManager::UsbCheckComplete, manager, [&] { ++completed; }, Qt::DirectConnection);
    manager->moveToThread(&usbThread);
    usbThread.start();
    QMetaObject::invokeMethod(manager, "MassStorageCome", Qt::QueuedConnection,
        Q_ARG(const DeviceDiscovery::DeviceProperties&, Drive(3, root)));
    ASSERT_TRUE(QTest::qWaitFor([&] { return started == 1; }, WaitMs));
    QTest::qWait(100); // well into the huge file

    QMetaObject::invokeMethod(manager, "Stop", Qt::BlockingQueuedConnection);
    usbThread.quit();
    usbThread.wait();
    delete manager;
    EXPECT_EQ(0, completed);
    EXPECT_FALSE(UsbStorage::Instance().GetUsb(3).IsValid());
    EXPECT_TRUE(warnings.Messages().isEmpty()) << warnings.Messages().join("\n").toStdString();
}
