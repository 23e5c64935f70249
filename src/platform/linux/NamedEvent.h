#pragma once

#include <QString>

#include <string>

// An event that processes of one user share by name, kept as two files in a
// folder: "<name>.lock", whose exclusive lock marks the owner (the kernel
// drops it when the owner dies, so it never goes stale), and "<name>.fifo",
// through which others signal the owner one byte at a time.
class NamedEvent {
public:
    NamedEvent(const QString& folder, const QString& name);
    ~NamedEvent();
    NamedEvent(const NamedEvent&) = delete;
    NamedEvent& operator=(const NamedEvent&) = delete;

    // Whether another owner holds the event. When none does, this object
    // takes the lock and may go on with Create.
    bool Open();
    // Whether an owner holds the event, found without making or taking anything.
    bool Held() const;
    // Becomes the owner after Open found none; on failure gives errno.
    bool Create(int& error);
    // Signals the owner once; gives up after about a second when the owner
    // has not opened its side yet.
    void Pulse();

    enum class Wake { Signalled, TimedOut, Failed };

    // Owner only: wakes its own Wait.
    void Set();
    // Owner only: blocks until signalled, or for at most timeoutMs when it is
    // not negative. All signals pending at the wake-up are taken at once.
    Wake Wait(int timeoutMs = -1);

private:
    std::string lockPath_;
    std::string fifoPath_;
    int lockFd_ = -1;
    int lockError_ = 0;
    int fifoFd_ = -1;
};
