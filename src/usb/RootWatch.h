#pragma once

#include "UsbInfo.h"

#include <QObject>
#include <QTimer>

#include <boost/filesystem/path.hpp>

#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <set>

// Asks whether sticks' roots answer, off the calling thread: a mount that does
// not answer (a failing stick, a dead share) must not freeze the window. An
// answer that does not come within a bound counts as "no", and a root is asked
// by one thread at a time, however long that thread hangs.
// It also watches the roots of sticks taken out while discovery may still list
// them, and tells when one answers again.
class RootWatch : public QObject {
    Q_OBJECT

public:
    using Query = std::function<bool(const boost::filesystem::path&)>;
    using Answer = std::function<void(bool answers)>;

    // A stick's root answers within milliseconds; a spun-down disk may take a
    // little longer, and a stick counted gone too early is discovered again.
    static constexpr int BoundMs = 2000;
    // As often as discovery polls.
    static constexpr int PollMs = 1000;

    // Tests pass their own query, and may have it asked on this thread.
    explicit RootWatch(Query query = Answers, bool onThreads = true, QObject* parent = nullptr);
    ~RootWatch() override;

    // Roots asked one after the other, for a caller that runs no event loop
    // (the teardown) and polls what was seen.
    class Look {
    public:
        struct Seen {
            boost::filesystem::path asking; // the root asked last
            bool done = false;
            bool answered = true;
        };
        Seen Now() const;

    private:
        friend class RootWatch;
        void Set(const Seen& now);

        mutable std::mutex mutex;
        Seen seen;
    };

    // The answer comes on this object's thread, after this call has returned.
    void Ask(const boost::filesystem::path& root, Answer answer);
    // Asks each root in turn, as Ask does, until one does not answer. A look
    // at no root never ends.
    std::shared_ptr<const Look> LookAt(const std::set<boost::filesystem::path>& roots) const;
    // Asks every second until the root answers, then emits AnswersAgain once.
    void Watch(UsbInfo::Id usbId, const boost::filesystem::path& root);
    // False when the stick was not watched.
    bool Unwatch(UsbInfo::Id usbId);

    // Whether the root is a folder that answers, and its file system gives its status.
    static bool Answers(const boost::filesystem::path& root);

signals:
    void AnswersAgain(UsbInfo::Id usbId);

private:
    struct Channel;

    void Start(const boost::filesystem::path& root);
    void Run(std::function<void()> work) const;
    void Finished(const boost::filesystem::path& root, bool answers);
    void GiveUp(const boost::filesystem::path& root, int waiter);
    void Poll();

    Query query;
    bool onThreads;
    std::shared_ptr<Channel> channel;
    std::set<boost::filesystem::path> asking;
    std::map<boost::filesystem::path, std::map<int, Answer>> waiting;
    int nextWaiter = 0;
    std::map<UsbInfo::Id, boost::filesystem::path> watched;
    QTimer pollTimer {this};
};
