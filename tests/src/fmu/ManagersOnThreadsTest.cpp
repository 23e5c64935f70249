// Both managers run as the application runs them (moved to threads, slots by name, queued signals, Stop on their own
// threads), the real client against the local content service. A Qt thread warning or a signal after Stop fails.
#include "Config.h"
#include "ContentService.h"
#include "FakeStick.h"
#include "FmuTest.h"
#include "Settings.h"
#include "TestEnv.h"
#include "ThreadWarnings.h"
#include "UsbManager.h"
#include "Utf8Locale.h"

#include <QTest>
#include <QThread>
#include <QTimer>

#include <sys/stat.h>

namespace {

constexpr int kWaitMs = 30000;
const MapInfo::Id kMap = "EU_2024_05";

class ManagersOnThreadsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(service.Start(TestEnv::SourceDir() + "/tests/src/fmu/fixtures/threads-catalogue.json"));
        Config::Instance().updateSource = service.BaseUrl().toStdString();
        Config::Instance().updateKey = service.Key();
        Record(usbManager, &UsbManager::UsbCheckStarted, "UsbCheckStarted");
        Record(usbManager, &UsbManager::UsbCheckComplete, "UsbCheckComplete");
        Record(usbManager, &UsbManager::UsbRemoved, "UsbRemoved");
        Record(mapManager, &FullMapUpdateManager::RootUpdatesChecked, "RootUpdatesChecked");
        Record(mapManager, &FullMapUpdateManager::RelatedUpdatesChecked, "RelatedUpdatesChecked");
        Record(mapManager, &FullMapUpdateManager::OperationStarted, "OperationStarted");
        Record(mapManager, &FullMapUpdateManager::OperationFinished, "OperationFinished");
        usbManager->moveToThread(&usbThread);
        usbThread.start();
        mapManager->moveToThread(&managerThread);
        managerThread.start();
    }
    // As the application's teardown: each manager stops on its own thread, then the threads quit.
    void TearDown() override
    {
        if (mapManager) {
            QMetaObject::invokeMethod(usbManager, "Stop", Qt::BlockingQueuedConnection);
            QMetaObject::invokeMethod(mapManager, "Stop", Qt::BlockingQueuedConnection);
            stopped = true;
            for (QThread* thread : {&usbThread, &managerThread})
                thread->quit(), thread->wait();
            delete std::exchange(mapManager, nullptr);
            delete std::exchange(usbManager, nullptr);
        }
        EXPECT_EQ(0, lateSignals.load()) << "signals after Stop";
        EXPECT_TRUE(warnings.Messages().isEmpty()) << warnings.Messages().join("\n").toStdString();
    }
    // Counted in the emission, on the sender's thread; noted on the GUI thread, queued.
    template <typename Sender, typename... Args>
    void Record(Sender* sender, void (Sender::*signal)(Args...), const QString& name)
    {
        QObject::connect(sender, signal, [this, name](Args... values) {
            lateSignals += stopped;
            const QString note = (QStringList {name} << ... << QString::number(qulonglong(values))).join(' ');
            QTimer::singleShot(0, &receiver, [this, note] { events << note; });
        });
    }
    // Waits for an event that starts with the text, then hands over and forgets everything recorded so far.
    std::string Await(const QString& event)
    {
        EXPECT_TRUE(QTest::qWaitFor([&] { return events.filter(QRegExp("^" + event)).size() > 0; }, kWaitMs))
            << event.toStdString();
        return std::exchange(events, {}).join(", ").toStdString();
    }
    void Invoke(const char* slot, QGenericArgument argument = {})
    {
        QMetaObject::invokeMethod(mapManager, slot, Qt::QueuedConnection, argument);
    }
    // After the check that offers the map, a download that hangs once it has written all it got (so nothing is
    // left to write when the test changes the stick under it).
    void StallADownload(const QString& checked, int seconds)
    {
        Invoke("CheckMapUpdates");
        Await(checked);
        service.SetFault(
            {{"path", "/files/EU_2024_05.tar"}, {"kind", "stall"}, {"bytes", 300000}, {"seconds", seconds}});
        Invoke("DownloadMap", Q_ARG(MapInfo::Id, kMap));
        ASSERT_TRUE(QTest::qWaitFor([] { return MapStorage::Instance().FindMap(kMap).downloaded >= 300000; }, kWaitMs));
    }

    ThreadWarnings warnings;
    ContentService service;
    QTemporaryDir stick;
    QObject receiver;
    QStringList events;
    std::atomic<bool> stopped {false};
    std::atomic<int> lateSignals {0};
    QThread usbThread;
    QThread managerThread;
    UsbManager* usbManager = new UsbManager();
    FullMapUpdateManager* mapManager = new FullMapUpdateManager();
};

TEST_F(ManagersOnThreadsTest, ChecksDownloadsAndTeardownRaceNothing)
{
    // Language changed while the metadata is fetched: the check's own name requests decide (the nameless map is
    // dropped), in the new language, and it reports once.
    service.SetFault({{"path", "/brel/v1/package/metadata"}, {"kind", "delay"}, {"seconds", 2}, {"times", -1}});
    service.SetFault({{"path", "/brel/v1/package/localedata"}, {"kind", "delay"}, {"seconds", 3}, {"times", -1}});
    Invoke("CheckMapUpdates");
    const auto metadataRequests = [this] {
        int count = 0;
        for (const QJsonValue& request : service.RequestLog())
            count += request["path"].toString().endsWith("/metadata");
        return count;
    };
    ASSERT_TRUE(QTest::qWaitFor([&] { return metadataRequests() == 2; }, kWaitMs));
    ASSERT_TRUE(Settings::Instance().SetLocale("de_DE"));
    Invoke("UpdateLocale");
    EXPECT_EQ("RootUpdatesChecked 0", Await("RootUpdatesChecked 0"));
    EXPECT_EQ(1u, MapStorage::Instance().GetMaps().size());
    EXPECT_EQ(L"Europa 2024.05", MapStorage::Instance().FindMap(kMap).name);
    QTest::qWait(3500); // no second report from the dropped renaming requests
    EXPECT_EQ("", events.join(", ").toStdString());
    service.ClearFaults();
    // Only the name requests ask for a language (Qt's own default is neither of these).
    for (const QJsonValue& request : service.RequestLog())
        EXPECT_EQ(request["path"].toString().endsWith("/localedata"),
            QStringList({"en-GB", "de-DE"}).contains(request["headers"]["Accept-Language"].toString()))
            << request["path"].toString().toStdString();

    // Stick pulled while the transfer hangs, then a new check: the old download ends neither inside it nor later
    // (the hang ends after the check), nor touches the space figures.
    const QString stickRoot = stick.path() + "/pulled";
    QDir().mkpath(stickRoot);
    UsbStorage::Instance().UpdateUsb({9, stickRoot.toStdWString(), 0, 0, UsbInfo::NoMetadata, true});
    StallADownload("RootUpdatesChecked 0", 3);
    QDir(stickRoot).removeRecursively();
    UsbStorage::Instance().RemoveUsb(9);
    Invoke("CheckMapUpdates");
    EXPECT_EQ("OperationStarted, RootUpdatesChecked 0", Await("RootUpdatesChecked 0"));
    const SubscriptionInfo subscription = MapStorage::Instance().GetSubscription();
    QTest::qWait(4500); // past the end of the hang
    EXPECT_EQ("", events.join(", ").toStdString());
    EXPECT_EQ(subscription.availableMapSpace, MapStorage::Instance().GetSubscription().availableMapSpace);
    EXPECT_EQ(MapInfo::Available, MapStorage::Instance().FindMap(kMap).state);

    // A stick mounted at a name invalid in a UTF-8 locale: its check, metadata and download all find it there.
    const Utf8Locale locale;
    const QString written = stick.path() + "/written";
    StickContent::WriteFile(written, "VexmarNDSUpdate/meta_data/GENERAL.JSON",
        R"({"subscription_end_date": "2099-12-31", "available_map_space": 8000000, "used_map_space": 2000})");
    StickContent::WriteFile(written, "VexmarNDSUpdate/meta_data/R_EU.xml",
        QByteArray::fromStdString(Docs::Package({"R_EU", "EUR", "2023.05", "EU-1"})));
    StickContent::WriteChecksums(written);
    const QByteArray mounted = QFile::encodeName(stick.path()) + "/K\xe9ln \xff\xfe";
    ASSERT_EQ(0, ::rename(QFile::encodeName(written).constData(), mounted.constData()));
    FakeSticks sticks;
    FakeSticks::Disk disk;
    disk.nativeMountDir = mounted;
    sticks.Insert(disk);
    usbManager->StartUsbDiscovery(); // from the GUI thread, as after the first root check
    const QString checked = QString::fromStdString(Await("UsbCheckComplete"));
    UsbInfo usb = UsbStorage::Instance().GetUsb(checked.section(' ', -1).toULongLong());
    EXPECT_EQ(UsbInfo::ValidMetadata, usb.state) << checked.toStdString();
    EXPECT_EQ(mounted.toStdString(), StickPath::ToNative(usb.path).string());
    usb.selected = true; // as the state machine selects it
    UsbStorage::Instance().UpdateUsb(usb);
    Invoke("CheckMapUpdates");
    EXPECT_EQ("RelatedUpdatesChecked 0", Await("RelatedUpdatesChecked"));
    EXPECT_EQ(MapInfo::Installed, MapStorage::Instance().FindMap("R_EU").type);
    Invoke("DownloadMap", Q_ARG(MapInfo::Id, kMap));
    EXPECT_EQ("OperationStarted, OperationFinished 0", Await("OperationFinished"));
    EXPECT_EQ(MapInfo::Pending, MapStorage::Instance().FindMap(kMap).state);
    struct stat onStick { };
    EXPECT_EQ(0, ::stat((mounted + "/VexmarNDSFull/EU_2024_05/DATA/ROUTING.NDS").constData(), &onStick));
    EXPECT_EQ(2097152, onStick.st_size);

    // Quitting while the transfer hangs: the teardown neither waits for it nor hears from it.
    StallADownload("RelatedUpdatesChecked 0", 30);
    TearDown();
    QCoreApplication::sendPostedEvents();
    EXPECT_FALSE(events.join(",").contains("OperationFinished")) << events.join(",").toStdString();
}

} // namespace
