#pragma once

#include "ApplicationGuard.h"
#include "NamedEvent.h"
#include "RuntimeFolder.h"

#include <QThread>

#include <atomic>
#include <memory>

// The guard's thread: it owns the named event and blocks on it.
class ApplicationGuard::Impl : public QThread {
public:
    Impl(ApplicationGuard& guard, const RuntimeFolder& folder);
    // Marks the guard as stopping, wakes the waiting thread and always joins
    // it, also when it has only reported Quit.
    ~Impl() override;

protected:
    void run() override;

private:
    // The event of a running instance, looked for in the other folders first;
    // null when there is none, and then the guard's own event has taken the
    // lock if it could.
    std::unique_ptr<NamedEvent> Running();
    // Waits until the signals stop coming; false when the event failed.
    bool TakeActivations();

    ApplicationGuard& guard;
    // The event while it is held and the guard is not stopping; shared by
    // both threads.
    std::atomic<NamedEvent*> handle {nullptr};
    std::atomic<bool> stopping {false};
    // Used by the thread while it runs and freed after it ended.
    std::unique_ptr<NamedEvent> event;
    const RuntimeFolder folder;
};
