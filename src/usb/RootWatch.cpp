#include "RootWatch.h"

#include <boost/filesystem/operations.hpp>

#include <thread>

namespace fs = boost::filesystem;

// Lets a thread that outlives its watch hand its answer to nobody.
struct RootWatch::Channel {
    std::mutex mutex;
    RootWatch* owner = nullptr;

    void Deliver(const fs::path& root, bool answers)
    {
        const std::lock_guard<std::mutex> lock(mutex);
        if (owner)
            QMetaObject::invokeMethod(
                owner, [owner = owner, root, answers] { owner->Finished(root, answers); }, Qt::QueuedConnection);
    }
};

RootWatch::RootWatch(Query query, bool onThreads, QObject* parent)
    : QObject(parent)
    , query(std::move(query))
    , onThreads(onThreads)
    , channel(std::make_shared<Channel>())
{
    channel->owner = this;
    pollTimer.setInterval(PollMs);
    connect(&pollTimer, &QTimer::timeout, this, &RootWatch::Poll);
}

RootWatch::~RootWatch()
{
    const std::lock_guard<std::mutex> lock(channel->mutex);
    channel->owner = nullptr;
}

// A stick whose device stopped answering may still have its root in the
// kernel's cache: its file system is asked too.
bool RootWatch::Answers(const fs::path& root)
{
    boost::system::error_code error;
    if (!fs::is_directory(root, error))
        return false;
    fs::space(root, error);
    return !error;
}

void RootWatch::Ask(const fs::path& root, Answer answer)
{
    const int waiter = nextWaiter++;
    waiting[root].emplace(waiter, std::move(answer));
    QTimer::singleShot(BoundMs, this, [this, root, waiter] { GiveUp(root, waiter); });
    if (asking.insert(root).second)
        Start(root);
}

void RootWatch::Start(const fs::path& root)
{
    Run([channel = channel, query = query, root] { channel->Deliver(root, query(root)); });
}

std::shared_ptr<const RootWatch::Look> RootWatch::LookAt(const std::set<fs::path>& roots) const
{
    auto look = std::make_shared<Look>();
    if (roots.empty())
        return look;
    Run([look, query = query, roots] {
        for (const fs::path& root : roots) {
            look->Set({root});
            if (!query(root))
                return look->Set({root, true, false});
        }
        look->Set({*roots.rbegin(), true, true});
    });
    return look;
}

RootWatch::Look::Seen RootWatch::Look::Now() const
{
    const std::lock_guard<std::mutex> lock(mutex);
    return seen;
}

void RootWatch::Look::Set(const Seen& now)
{
    const std::lock_guard<std::mutex> lock(mutex);
    seen = now;
}

// A question that does not answer holds a thread of its own, never the caller's.
void RootWatch::Run(std::function<void()> work) const
{
    if (onThreads)
        std::thread(std::move(work)).detach();
    else
        work();
}

void RootWatch::Finished(const fs::path& root, bool answers)
{
    asking.erase(root);
    const auto found = waiting.find(root);
    if (found == waiting.end())
        return;
    // Taken out first: an answer may ask again.
    const std::map<int, Answer> waiters = std::move(found->second);
    waiting.erase(found);
    for (const auto& waiter : waiters)
        waiter.second(answers);
}

// A waiter the root's thread has not answered within the bound: "no".
void RootWatch::GiveUp(const fs::path& root, int waiter)
{
    const auto found = waiting.find(root);
    if (found == waiting.end())
        return;
    const auto taken = found->second.find(waiter);
    if (taken == found->second.end())
        return;
    const Answer answer = std::move(taken->second);
    found->second.erase(taken);
    if (found->second.empty())
        waiting.erase(found);
    answer(false);
}

void RootWatch::Watch(UsbInfo::Id usbId, const fs::path& root)
{
    watched[usbId] = root;
    pollTimer.start();
}

bool RootWatch::Unwatch(UsbInfo::Id usbId)
{
    const bool found = watched.erase(usbId) > 0;
    if (watched.empty())
        pollTimer.stop();
    return found;
}

void RootWatch::Poll()
{
    for (const auto& stick : watched) {
        const UsbInfo::Id usbId = stick.first;
        Ask(stick.second, [this, usbId](bool answers) {
            if (answers && Unwatch(usbId))
                emit AnswersAgain(usbId);
        });
    }
}
