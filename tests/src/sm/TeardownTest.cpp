#include "MachineTest.h"
#include "RealManagers.h"

#include "ProductionCollaborators.h"
#include "UsbManager.h"

#include <QElapsedTimer>
#include <QPointer>

#include <atomic>
#include <chrono>
#include <thread>

#include <dlfcn.h>
#include <sys/statvfs.h>

namespace {

using Clock = std::chrono::steady_clock;

// When the user interface went, in milliseconds of the steady clock; 0 while it is there.
std::atomic<long long> uiGoneAt {0};
// While set, a stick's calls take their time; a thread left holding them may outlive the test that held them.
std::atomic<bool> hold {false};
// While set too, so does every file system's status.
std::atomic<bool> fileSystemsHang {false};

long long Now()
{
    return std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now().time_since_epoch()).count();
}

struct TimedUi : FakeUi {
    ~TimedUi() override { uiGoneAt = Now(); }
};

// One call that writes through to the stick, made slow: the stick answers, but that call takes its time. At its end
// it notes whether the user interface had gone and the single-instance lock was still held.
struct SlowCall {
    // On the folder or file at that place below the root, which may not be there yet.
    void Arm(const char* call, const QString& root, const QString& below, int ms)
    {
        name = call, path = (QFileInfo(root).canonicalFilePath() + below).toStdString(), delayMs = ms;
        started = false, ended = false, armed = true;
    }
    std::string name; // "fsync" or "syncfs"
    std::string path; // the folder or file the descriptor is open on
    int delayMs = 0;
    std::atomic<bool> armed {false}, started {false}, ended {false};
    bool uiGone = false, lockHeld = false; // before `ended`
} slow;

std::string DescriptorPath(int fd)
{
    char target[4096];
    const ssize_t length = ::readlink(("/proc/self/fd/" + std::to_string(fd)).c_str(), target, sizeof target);
    return length > 0 ? std::string(target, std::size_t(length)) : std::string();
}

int Slowed(const char* name, int fd)
{
    const auto real = reinterpret_cast<int (*)(int)>(::dlsym(RTLD_NEXT, name));
    if (slow.armed && slow.name == name && DescriptorPath(fd) == slow.path && slow.armed.exchange(false)) {
        slow.started = true;
        std::this_thread::sleep_for(std::chrono::milliseconds(slow.delayMs));
        slow.uiGone = uiGoneAt != 0, slow.lockHeld = InstanceLocked();
        slow.ended = true;
    }
    return real(fd);
}

bool Logged(const LogCapture& log, Log::Severity severity, const std::string& part)
{
    const auto records = log.Records();
    return std::any_of(records.begin(), records.end(), [&](const auto& record) {
        return record.severity == severity && record.message.find(part) != std::string::npos;
    });
}

} // namespace

// Every call of the program's own code in this test program reaches these first.
extern "C" int fsync(int fd)
{
    return Slowed("fsync", fd);
}

extern "C" int syncfs(int fd) noexcept
{
    return Slowed("syncfs", fd);
}

extern "C" int statvfs64(const char* path, struct statvfs64* status) noexcept
{
    static const auto real = reinterpret_cast<int (*)(const char*, struct statvfs64*)>(::dlsym(RTLD_NEXT, "statvfs64"));
    while (fileSystemsHang && hold)
        QThread::msleep(5);
    return real(path, status);
}

// The teardown joins every thread, also one busy with the selected stick's space, however long that takes while the
// stick answers: the user interface goes first, the single-instance lock stays. One held by a stick that does not
// answer (its root is gone, or gives no status, or its file system gives none while the root still comes from the
// kernel's cache) is left running: the user interface and the lock go within the bound, and the log says what was
// left.
TEST(RealManagers, TeardownWaitsForAThreadAtWorkOnAStickThatAnswersAndLeavesOneHeldByAStickThatDoesNot)
{
    Config::Instance().updateSource = "https://127.0.0.1:9/brel/v1"; // the check fails, locally
    const QTemporaryDir there;
    const struct {
        const char* name;
        int holdMs; // how long the space query takes; longer than 5 s: until the test lets go
        bool rootThere, rootHangs, fileSystemHangs;
    } rows[] = {{"answering", 0, false, false, false}, {"slow", 5000, true, false, false},
        {"gone", 10000, false, false, false}, {"dead", 10000, true, true, false}, {"stuck", 10000, true, false, true}};
    for (const auto& [name, holdMs, rootThere, rootHangs, fileSystemHangs] : rows) {
        SCOPED_TRACE(name);
        const bool held = holdMs > 5000;
        LogCapture log;
        UsbStorage::Instance().Clear(), MapStorage::Instance().Clear(), journal.clear(), uiGoneAt = 0;
        hold = false, fileSystemsHang = fileSystemHangs;
        std::atomic<int> queries {0};
        std::atomic<long long> returnedAt {0};
        std::atomic<bool> lockHeldAtReturn {false};
        const auto space = [&](const boost::filesystem::path&) {
            ++queries;
            for (int waited = 0; hold && waited < (held ? 10000 : holdMs); waited += 5) // a real hang never ends
                QThread::msleep(5);
            if (hold)
                returnedAt = Now(), lockHeldAtReturn = InstanceLocked();
            return boost::filesystem::space_info {1 << 30, 1 << 29, 1 << 29};
        };
        QPointer<QObject> usbManager;
        int left = 0;
        Collaborators collaborators = ProductionCollaborators(Maker<TimedUi>(nullptr));
        collaborators.makeUsbManager = [&] {
            auto made = std::make_unique<UsbManager>(nullptr, space);
            usbManager = made.get();
            return made;
        };
        collaborators.threadLeft = [&left] { ++left; };
        collaborators.rootAnswers = [rootHangs = rootHangs](const boost::filesystem::path& root) {
            while (rootHangs && hold)
                QThread::msleep(5);
            return RootWatch::Answers(root);
        };
        auto machine = std::make_unique<StateMachine>(collaborators);
        machine->initiate();
        ASSERT_TRUE(QTest::qWaitFor([&machine] { return ActiveLeaf(*machine) == "MapUpdateCheck"; }));
        UsbInfo stick;
        stick.id = 7, stick.selected = true;
        stick.path = rootThere ? there.path().toStdWString() : L"/media/stick";
        UsbStorage::Instance().UpdateUsb(stick);
        hold = holdMs > 0;
        ASSERT_TRUE(QTest::qWaitFor([&queries] { return queries > 0; }, 5000)); // a refresh each second
        ASSERT_TRUE(InstanceLocked());

        const long long start = Now();
        machine.reset();
        const long long took = Now() - start;
        EXPECT_EQ(journal.back(), "delete ui");
        EXPECT_FALSE(InstanceLocked());
        EXPECT_EQ(left, held ? 1 : 0);
        EXPECT_EQ(log.Count(Log::Error, "Did not wait for the thread of UsbManager after "), left);
        // The map update manager had nothing on the stick: it ended while the other held the whole grace.
        EXPECT_EQ(log.Count(Log::Info, "Waiting for the thread of FullMapUpdateManager"), 0);
        EXPECT_EQ(Logged(log, Log::Error, rootThere ? " does not answer" : "\"/media/stick\" does not answer"), held);
        EXPECT_EQ(usbManager.isNull(), !held); // deleted once its thread was joined
        if (holdMs > 0) { // the user interface went first
            EXPECT_LT(uiGoneAt - start, 1000);
        }
        if (held) {
            EXPECT_LT(took, 3000);
            QThread* const thread = usbManager->thread();
            hold = false;
            EXPECT_TRUE(thread->wait(5000)); // told to quit, it ends once the call returns
        } else if (holdMs > 0) {
            EXPECT_TRUE(returnedAt >= uiGoneAt && returnedAt <= start + took && lockHeldAtReturn);
            EXPECT_EQ(log.Count(Log::Info, "Waited "), 1);
        }
    }
}

// A map on a slow stick is finished or removed before the program ends, however long that takes while the stick
// answers: its last sync before the announcement (the metadata copy beside the map folder that tells the head unit
// the map is there), or the removal's sync after the announcement went. The teardown starts just then. The user
// interface goes at once; the lock stays until the map's work is done.
TEST(RealManagers, TeardownLetsAMapOnASlowStickBeFinishedOrRemovedFirst)
{
    ContentService service;
    ASSERT_TRUE(StartService(service));
    FakeSticks sticks;
    const QString root = OfferedStick(sticks);
    sticks.Insert({root});
    const QString full = root + "/VexmarNDSFull";
    const struct {
        bool cancel;
        int seconds;
    } rows[] = {{false, 5}, {false, 30}, {true, 5}};
    for (const auto& [cancel, seconds] : rows) {
        SCOPED_TRACE((cancel ? "cancel, " : "finish, ") + std::to_string(seconds) + " s");
        LogCapture log;
        UsbStorage::Instance().Clear(), MapStorage::Instance().Clear(), journal.clear(), uiGoneAt = 0;
        TimedUi* ui = nullptr;
        int left = 0;
        Collaborators collaborators = ProductionCollaborators(Maker(&ui));
        collaborators.threadLeft = [&left] { ++left; };
        auto machine = std::make_unique<StateMachine>(collaborators);
        machine->initiate();
        const auto reaches = [&machine](const char* leaf) {
            return QTest::qWaitFor([&] { return ActiveLeaf(*machine) == leaf; }, 30000);
        };
        ASSERT_TRUE(reaches("OptionalUpdate")) << ActiveLeaf(*machine);
        if (cancel) {
            emit ui->DownloadMap("EU_2024_05");
            ASSERT_TRUE(reaches("PendingUpdate"));
            slow.Arm("fsync", root, "/VexmarNDSFull", seconds * 1000);
            emit ui->CancelDownload();
        } else {
            slow.Arm("syncfs", root, "/VexmarNDSFull/EU_2024_05", seconds * 1000);
            emit ui->DownloadMap("EU_2024_05");
        }
        ASSERT_TRUE(QTest::qWaitFor([] { return slow.started.load(); }, 30000));

        const long long start = Now();
        machine.reset();
        EXPECT_GE(Now() - start, seconds * 1000 - 1000);
        EXPECT_TRUE(slow.ended && slow.uiGone && slow.lockHeld);
        EXPECT_LT(uiGoneAt - start, 1000);
        EXPECT_FALSE(InstanceLocked());
        EXPECT_EQ(left, 0);
        EXPECT_EQ(log.Count(Log::Info, "Waiting for the thread of FullMapUpdateManager to finish its work"), 1);
        EXPECT_EQ(log.Count(Log::Info, "Waited "), 1);
        if (cancel) {
            EXPECT_FALSE(QFileInfo::exists(full));
        } else {
            const QByteArray copied = TestFiles::Read(full + "/EU_2024_05.meta.xml");
            EXPECT_TRUE(!copied.isEmpty() && copied == TestFiles::Read(full + "/EU_2024_05/EU_2024_05.meta.xml"));
        }
    }
}
