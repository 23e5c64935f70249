#include "States/TeardownWait.h"

#include "Log.h"
#include "StickPath.h"
#include "UsbDiskEnumerator.h"
#include "UsbStorage.h"

#include <QDeadlineTimer>
#include <QMetaObject>

#include <algorithm>
#include <exception>
#include <set>

namespace fs = boost::filesystem;

namespace States {

namespace {

// How long each thread is waited for between two looks at the sticks.
constexpr int kSliceMs = 50;
constexpr int kGraceSliceMs = 10;

// Every stick the managers may be at work on: the selected one, and those
// mounted now (a stick being checked is not known yet).
std::set<fs::path> StickRoots()
{
    std::set<fs::path> roots;
    const UsbInfo selected = UsbStorage::Instance().GetSelectedUsb();
    if (selected.IsValid())
        roots.insert(StickPath::ToNative(selected.path));
    try {
        for (const UsbDisk& disk : UsbDiskEnumerator::FromEnvironment().Enumerate())
            roots.insert(disk.mountPoint);
    } catch (const std::exception& error) {
        LOG(Warning) << "Failed to list the mounted sticks: " << error.what();
    }
    return roots;
}

const char* ClassName(const QObject* object)
{
    return object->metaObject()->className();
}

} // namespace

TeardownWait::TeardownWait(const RootWatch& roots)
    : roots(roots)
{
    since.start();
}

void TeardownWait::Stop(QObject& manager, QThread& thread)
{
    auto stopped = std::make_shared<QSemaphore>();
    const auto stop = [&manager, stopped] {
        QMetaObject::invokeMethod(&manager, "Stop", Qt::DirectConnection);
        stopped->release();
    };
    if (manager.thread() == QThread::currentThread() || !manager.thread()->isRunning())
        stop();
    else
        QMetaObject::invokeMethod(&manager, stop, Qt::QueuedConnection);
    stopping.push_back({&manager, &thread, std::move(stopped)});
}

// In slices, so that a thread that is quick is seen ending while another takes the whole time.
bool TeardownWait::EndWithin(int ms)
{
    const QDeadlineTimer bound(ms);
    do {
        for (Stopping& each : stopping)
            Advance(each, kGraceSliceMs);
    } while (!AllEnded() && !bound.hasExpired());
    return AllEnded();
}

void TeardownWait::EndWhileSticksAnswer()
{
    LogWaiting();
    for (;;) {
        for (Stopping& each : stopping)
            if (!each.ended && Advance(each, kSliceMs))
                LOG(Info) << "Waited " << since.elapsed() << " ms for the thread of " << ClassName(each.manager);
        if (AllEnded())
            return;
        if (const std::optional<std::string> why = Silence())
            return LeaveRunning(*why);
    }
}

bool TeardownWait::Ended(const QThread& thread) const
{
    for (const Stopping& each : stopping)
        if (each.thread == &thread)
            return each.ended;
    return false;
}

// A stopped manager touches nothing more, so its thread is told to quit and
// ends at once.
bool TeardownWait::Advance(Stopping& each, int ms)
{
    if (!each.stopSeen)
        each.stopSeen = each.stopped->tryAcquire(1, ms);
    if (each.stopSeen && !each.ended) {
        each.thread->quit();
        each.ended = each.thread->wait(QDeadlineTimer(ms));
    }
    return each.ended;
}

bool TeardownWait::AllEnded() const
{
    return std::all_of(stopping.begin(), stopping.end(), [](const Stopping& each) { return each.ended; });
}

// Empty while every stick answers; else why the wait ends. A new look is
// taken a while after the last one answered, so that a stick that stops
// answering midway is noticed too.
std::optional<std::string> TeardownWait::Silence()
{
    const RootWatch::Look::Seen seen = look ? look->Now() : RootWatch::Look::Seen();
    if (!look || (seen.done && seen.answered && lookAge.hasExpired(RootWatch::PollMs))) {
        StartLook();
        return std::nullopt;
    }
    if (seen.done ? seen.answered : !lookAge.hasExpired(RootWatch::BoundMs))
        return std::nullopt;
    if (seen.asking.empty())
        return std::string("there is no stick to ask");
    return "the stick \"" + seen.asking.string() + "\" does not answer";
}

// Without a stick to ask the look never ends: a thread still held past the
// bound is not at work on a stick.
void TeardownWait::StartLook()
{
    look = roots.LookAt(StickRoots());
    lookAge.start();
}

void TeardownWait::LogWaiting() const
{
    for (const Stopping& each : stopping)
        if (!each.ended)
            LOG(Info) << "Waiting for the thread of " << ClassName(each.manager) << " to finish its work";
}

void TeardownWait::LeaveRunning(const std::string& why)
{
    for (Stopping& each : stopping) {
        if (each.ended)
            continue;
        LOG(Error) << "Did not wait for the thread of " << ClassName(each.manager) << " after " << since.elapsed()
                   << " ms: " << why;
        each.thread->quit();
    }
}

} // namespace States
