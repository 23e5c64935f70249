#include "FakeStick.h"
#include "StickContent.h"
#include "StickPath.h"
#include "ThreadWarnings.h"
#include "UsbManager.h"
#include "UsbStorage.h"
#include "Utf8Locale.h"

#include <QLocalServer>
#include <QTest>

#include <gtest/gtest.h>

#include <fstream>
#include <stdexcept>

namespace fs = boost::filesystem;

namespace {

constexpr int WaitMs = 5000;
const QString List = "VexmarNDSUpdate/CHECKSUMS.MD5";
const QByteArray Zeros(32, '0');

const auto PeakMemoryKiB = [] {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line) && line.rfind("VmHWM:", 0) != 0) { }
    return std::stol(line.substr(6));
};

QString Stick(const QTemporaryDir& dir, const QString& name = "STICK")
{
    const QString stick = dir.filePath(name);
    StickContent::WriteFile(stick, "VexmarNDSUpdate/meta_data/GENERAL.JSON", "{}");
    StickContent::WriteFile(stick, "VexmarNDSUpdate/maps/e/empty", "");
    StickContent::WriteFile(stick, "VexmarNDSUpdate/maps/e/part 1.bin ", QByteArray("0123456").repeated(112367));
    StickContent::WriteChecksums(stick);
    return stick;
}

const auto FixedSpace = [](const fs::path&) { return fs::space_info {64000, 32100, 32000}; };

const auto Verdict = [](UsbInfo::Id id) {
    const UsbInfo usb = UsbStorage::Instance().GetUsb(id);
    return std::make_tuple(usb.state, usb.totalSpace, usb.availableSpace, usb.selected);
};

const auto Drive = [](UsbInfo::Id id, const QString& root) {
    return DeviceDiscovery::DeviceProperties {id, 0, 0, 0, "", QFile::encodeName(root).toStdString()};
};
const auto Select = [](UsbInfo::Id id) {
    UsbStorage::Instance().UpdateUsb({id, L"/selected", 0, 0, UsbInfo::ValidMetadata, true});
};

} // namespace

// Each case on a fresh stick; the peak memory stays flat whatever the list holds. Only regular files are hashed:
// anything else listed, or in place of the list (also a FIFO a writer filled with the list), makes the metadata
// invalid at once; a FIFO would otherwise hold the USB thread until a writer came.
TEST(StickVerifierTest, ChecksStickContentAgainstItsListInFlatMemory)
{
    struct Case {
        const char* what;
        std::function<void(const QString& stick, const QByteArray& list)> change;
        UsbInfo::State expected;
        const char* root = "STICK";
    };
    const auto valid = UsbInfo::ValidMetadata, invalid = UsbInfo::InvalidMetadata;
    static const auto write
        = [](const QString& stick, const QByteArray& text) { StickContent::WriteFile(stick, List, text); };
    static const auto line = [](int length) { return Zeros + "  " + QByteArray(length - 34, 'x') + "\n"; };
    const auto listed = [](const QString& stick, const QByteArray& list, const QString& name) {
        write(stick, list + Zeros + "  " + name.toUtf8() + "\n");
    };
    const auto fifo = [](const QString& stick) {
        ::mkfifo(QFile::encodeName(stick + "/VexmarNDSUpdate/maps/pipe").constData(), 0600);
    };
    std::unique_ptr<TestFiles::FilledFifo> filled;
    QLocalServer server;
    const std::vector<Case> cases = {
        {"as written", [](auto&, auto&) {}, valid},
        {"no update folder", [](auto& s, auto&) { QDir(s + "/VexmarNDSUpdate").removeRecursively(); },
            UsbInfo::NoMetadata},
        {"trailing slash", [](auto&, auto&) {}, valid, "STICK/"},
        {"root through a symbolic link", [](auto& s, auto&) { QFile::link(s, s + "/../LINK"); }, valid, "LINK"},
        {"backslashes", [](auto& s, auto& l) { write(s, QByteArray(l).replace("/", "\\")); }, valid},
        {"CRLF, each path listed again over several read chunks",
            [](auto& s, auto& l) { write(s, QByteArray(l).replace("\n", "\r\n").repeated(1500)); }, valid},
        {"missing list", [](auto& s, auto&) { QFile::remove(s + "/" + List); }, invalid},
        {"empty list", [](auto& s, auto&) { write(s, ""); }, invalid},
        {"empty line (two line breaks at the end)", [](auto& s, auto& l) { write(s, l + "\n"); }, invalid},
        {"line just above the length cap", [](auto& s, auto& l) { write(s, l + line(4096 + 64 + 1)); }, invalid},
        {"line long enough to exhaust the matcher's stack", [](auto& s, auto& l) { write(s, l + line(8000)); },
            invalid},
        {"512 MiB (sparse) without a line break", [](auto& s, auto&) { QFile::resize(s + "/" + List, 512LL << 20); },
            invalid},
        {"long legitimate path in nested folders",
            [](auto& s, auto&) {
                StickContent::WriteFile(s, "VexmarNDSUpdate/maps" + QString("/" + QString(250, 'd')).repeated(15), "");
                StickContent::WriteChecksums(s);
            },
            valid},
        {"upper-case hash", [](auto& s, auto& l) { write(s, l.left(32).toUpper() + l.mid(32)); }, invalid},
        {"missing file", [&](auto& s, auto& l) { listed(s, l, "meta_data/gone.xml"); }, invalid},
        {"unlisted file", [](auto& s, auto&) { StickContent::WriteFile(s, "VexmarNDSUpdate/extra", ""); }, invalid},
        {"changed file", [](auto& s, auto&) { StickContent::WriteFile(s, "VexmarNDSUpdate/maps/e/empty", "x"); },
            invalid},
        {"FIFO listed", [&](auto& s, auto& l) { fifo(s), listed(s, l, "maps/pipe"); }, invalid},
        {"FIFO not listed", [&](auto& s, auto&) { fifo(s); }, invalid},
        {"FIFO filled with the list in place of the list",
            [&](auto& s, auto& l) {
                QFile::remove(s + "/" + List);
                filled = std::make_unique<TestFiles::FilledFifo>(s + "/" + List, l);
            },
            invalid},
        {"folder listed", [&](auto& s, auto& l) { listed(s, l, "maps/e"); }, invalid},
        {"socket listed",
            [&](auto& s, auto& l) { server.listen(s + "/VexmarNDSUpdate/maps/socket"), listed(s, l, "maps/socket"); },
            invalid},
    };
    for (const Case& c : cases) {
        QTemporaryDir dir;
        const QString stick = Stick(dir);
        c.change(stick, TestFiles::Read(stick + "/" + List));
        std::ofstream("/proc/self/clear_refs") << "5"; // the peak down to the present use, where the kernel allows it
        const long before = PeakMemoryKiB();
        std::atomic<UsbInfo::State> state {};
        const std::unique_ptr<QThread> thread(QThread::create(
            [&] { state = StickVerifier::Check(QFile::encodeName(dir.filePath(c.root)).toStdString()); }));
        thread->setStackSize(2 << 20); // the USB thread's; a check held by a FIFO hangs the test
        thread->start(), thread->wait();
        EXPECT_EQ(state, c.expected) << c.what;
        EXPECT_LT(PeakMemoryKiB() - before, 16 * 1024) << c.what;
        EXPECT_TRUE(!filled || filled->Filled()) << c.what;
        server.close();
        filled.reset();
    }
}

// Every stick root survives the way to its wide form and back, byte for byte, in a UTF-8 locale: valid names read as
// their text; bytes that are not (a stick named in another encoding) are kept, and no two names share a wide form.
TEST(StickPathTest, RoundTripKeepsEveryByte)
{
    const Utf8Locale locale;
    const std::vector<std::pair<std::string, std::wstring>> rows = {
        {"/media/user/STICK/", L"/media/user/STICK/"},
        {"/media/user/K\xc3\xb6ln stick/", L"/media/user/K\u00f6ln stick/"},
        {"/media/\xf0\x9f\x98\x80", L"/media/\U0001F600"},
        {"/media/K\xe9ln", {}}, // a lone Latin-1 letter
        {"/media/\xff\xfe", {}},
        {"/media/\xe2\x82", {}}, // cut sequences at the end and inside
        {"/media/\xe2\x82/x", {}},
        {"/media/\xed\xb3\xa9", {}}, // an encoded surrogate
        {"/media/\xc0\xaf", {}}, // an overlong slash
        {"/media/\xf4\x90\x80\x80", {}}, // beyond the last code point
        {"/media/\xc3\xa9\xe9", {}},
    };
    std::set<std::wstring> wideForms;
    for (const auto& [native, text] : rows) {
        const std::wstring wide = StickPath::ToWide(native);
        EXPECT_EQ(StickPath::ToNative(wide).string(), native);
        EXPECT_TRUE(wideForms.insert(wide).second) << native;
        EXPECT_TRUE(text.empty() || wide == text) << native;
    }
}

// Each record sits in the list of its latest state; a record with the flag becomes the one selected, one without it
// leaves the selection alone; a removed record is gone for good, also for a space update.
TEST(UsbStorageTest, RecordsFollowTheirStateAndTheSelectionFollowsTheFlag)
{
    const auto stick = [](UsbInfo::Id id, UsbInfo::State state, bool selected = false) {
        return UsbInfo {id, L"/media/stick" + std::to_wstring(id), 1000 * id, 100 * id, state, selected};
    };
    UsbStorage& storage = UsbStorage::Instance();
    const auto lists = [&storage] { // the ids listed under each state, in state order
        std::string out;
        for (auto state : {UsbInfo::InvalidMetadata, UsbInfo::NoMetadata, UsbInfo::ValidMetadata}) {
            out += "|";
            for (const auto& entry : storage.GetUsbs(state))
                out += std::to_string(entry.first);
        }
        return out;
    };
    storage.Clear();
    storage.UpdateUsb(stick(1, UsbInfo::ValidMetadata, true));
    storage.UpdateUsb(stick(2, UsbInfo::ValidMetadata));
    storage.UpdateUsb(stick(1, UsbInfo::NoMetadata, true));
    EXPECT_EQ(lists(), "||1|2");
    EXPECT_EQ(storage.GetSelectedUsb().state, UsbInfo::NoMetadata);

    storage.UpdateUsb(stick(2, UsbInfo::InvalidMetadata, true));
    storage.UpdateUsb(stick(2, UsbInfo::InvalidMetadata));
    EXPECT_EQ(storage.GetSelectedUsb().id, 2u);
    EXPECT_FALSE(storage.GetUsbs(UsbInfo::NoMetadata).at(1).selected);

    EXPECT_THROW(storage.UpdateUsb(stick(3, static_cast<UsbInfo::State>(3))), std::logic_error);
    EXPECT_THROW(storage.RemoveUsb(9), std::logic_error);
    storage.RemoveUsb(2);
    EXPECT_FALSE(storage.GetSelectedUsb().IsValid());
    EXPECT_FALSE(storage.UpdateUsbSpace(2, 5, 5));
    EXPECT_TRUE(storage.UpdateUsbSpace(1, 5, 4));
    EXPECT_EQ(storage.GetUsb(1).availableSpace, 4u);
    EXPECT_EQ(lists(), "||1|");
    storage.Clear();
}

// A stick found by discovery is checked and its removal reported; a check failing on the file system (a link loop)
// still stores a verdict and completes; a stick pulled while its check is still queued is reported removed after
// that check, or the record the check stores would outlive the stick.
TEST(UsbManagerTest, EveryCheckEndsInAVerdictAndARemovalFollowsIt)
{
    const QTemporaryDir dir;
    FakeSticks sticks;
    const QString block = sticks.Insert({Stick(dir, "STICK1")});
    UsbManager manager(nullptr, FixedSpace);
    QStringList order;
    QObject::connect(&manager, &UsbManager::UsbCheckStarted, [&] { order << "started"; });
    QObject::connect(
        &manager, &UsbManager::UsbCheckComplete, [&](auto id) { order << "complete " + QString::number(id); });
    QObject::connect(&manager, &UsbManager::UsbRemoved, [&](auto id) { order << "removed " + QString::number(id); });
    const auto await = [&](const QString& last) {
        EXPECT_TRUE(QTest::qWaitFor([&] { return !order.isEmpty() && order.last().startsWith(last); }, WaitMs));
        return std::exchange(order, {}).join(", ").toStdString();
    };
    manager.StartUsbDiscovery();
    const std::string checked = await("complete");
    const UsbInfo::Id id = std::stoull(checked.substr(checked.rfind(' ')));
    EXPECT_EQ(Verdict(id), std::make_tuple(UsbInfo::ValidMetadata, 64000u, 32000u, false));
    sticks.Remove(block);
    EXPECT_EQ(await("removed"), "removed " + std::to_string(id));

    const QString looped = Stick(dir, "LOOPED");
    ASSERT_TRUE(QFile::link("loop", looped + "/VexmarNDSUpdate/loop"));
    manager.MassStorageCome(Drive(5, looped));
    EXPECT_EQ(await("complete"), "started, complete 5");
    EXPECT_EQ(Verdict(5), std::make_tuple(UsbInfo::InvalidMetadata, 64000u, 32000u, false));
    manager.MassStorageCome(Drive(7, dir.filePath("PULLED")));
    manager.MassStorageGo(7);
    EXPECT_EQ(await("removed"), "started, complete 7, removed 7");
}

TEST(UsbManagerTest, SpaceRefreshNeverBringsBackOrReselectsAStick)
{
    UsbStorage& storage = UsbStorage::Instance();
    Select(1);
    const UsbManager removing(
        nullptr, [&storage](const fs::path& root) { return storage.RemoveUsb(1), FixedSpace(root); });
    EXPECT_FALSE(storage.GetUsb(1).IsValid());
    EXPECT_FALSE(storage.GetSelectedUsb().IsValid());

    Select(1);
    const UsbManager changing(nullptr, [&storage](const fs::path& root) {
        storage.UpdateUsb({1, L"/1", 0, 0, UsbInfo::NoMetadata, false});
        return Select(2), FixedSpace(root);
    });
    EXPECT_EQ(Verdict(1), std::make_tuple(UsbInfo::NoMetadata, 64000u, 32000u, false));
    EXPECT_EQ(storage.GetSelectedUsb().id, 2u);
}

// The space refresh runs on the manager's thread; a listed 1 TiB sparse file keeps the check busy: Stop still ends
// it, with nothing emitted afterwards and nothing left to warn about.
TEST(UsbManagerTest, OnItsThreadStopEndsACheckThatWouldNeverFinish)
{
    const ThreadWarnings warnings;
    const QTemporaryDir dir;
    const QString root = Stick(dir, "ENDLESS");
    StickContent::WriteFile(root, List, TestFiles::Read(root + "/" + List) + Zeros + "  HUGE\n");
    StickContent::WriteFile(root, "VexmarNDSUpdate/HUGE", "");
    ASSERT_TRUE(QFile::resize(root + "/VexmarNDSUpdate/HUGE", 1LL << 40));
    Select(1);
    QThread usbThread;
    std::atomic<QThread*> spaceThread {nullptr};
    auto* manager = new UsbManager(nullptr, [&spaceThread](const fs::path&) {
        spaceThread = QThread::currentThread();
        return FixedSpace({});
    });
    std::atomic<int> started {0}, completed {0};
    QObject::connect(manager, &UsbManager::UsbCheckStarted, [&] { ++started; }); // direct, without a context
    QObject::connect(manager, &UsbManager::UsbCheckComplete, [&] { ++completed; });
    manager->moveToThread(&usbThread);
    usbThread.start();
    EXPECT_TRUE(QTest::qWaitFor([&] { return spaceThread == &usbThread; }, WaitMs));
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
