#pragma once

#include "ApplicationGuard.h"
#include "NamedEvent.h"

#include <QThread>

#include <atomic>
#include <memory>

// The guard's thread: it owns the named event and blocks on it.
class ApplicationGuard::Impl : public QThread {
public:
    Impl(ApplicationGuard& guard, const QString& eventFolder);
    // Marks the guard as stopping, wakes the waiting thread and always joins
    // it, also when it has only reported Quit.
    ~Impl() override;

protected:
    void run() override;

private:
    // Waits until the signals stop coming; false when the event failed.
    bool TakeActivations();

    ApplicationGuard& guard;
    // The event while it is held and the guard is not stopping; shared by
    // both threads.
    std::atomic<NamedEvent*> handle {nullptr};
    std::atomic<bool> stopping {false};
    // Used by the thread while it runs and freed after it ended.
    std::unique_ptr<NamedEvent> event;
    const QString eventFolder;
};
