#pragma once

#include "RootWatch.h"

#include <QElapsedTimer>
#include <QObject>
#include <QSemaphore>
#include <QThread>

#include <boost/filesystem/path.hpp>

#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace States {

// The teardown's wait for the managers' threads. Each manager is stopped on
// its own thread, after the work it has in hand: a finished map's last writes
// or a cancelled map's removal may take long on a slow stick, and cutting them
// short loses the map. So the wait has no bound of its own: only a stick that
// does not answer (as the root watch judges: its root or its file system gives
// no status within its bound) ends it, leaving the threads it holds.
class TeardownWait {
public:
    // The sticks' roots are asked through the watch, as it asks them.
    explicit TeardownWait(const RootWatch& roots);
    TeardownWait(const TeardownWait&) = delete;
    TeardownWait& operator=(const TeardownWait&) = delete;

    // Asks the manager to stop on its own thread, or at once when it has none running.
    void Stop(QObject& manager, QThread& thread);
    // Whether every manager stopped and its thread ended within the time.
    bool EndWithin(int ms);
    // Waits as long as every stick the work may be on answers, logging what it
    // waited for and how long. When one does not, the threads still running
    // are logged, told to quit once their call returns, and left.
    void EndWhileSticksAnswer();
    bool Ended(const QThread& thread) const;

private:
    struct Stopping {
        QObject* manager;
        QThread* thread;
        std::shared_ptr<QSemaphore> stopped;
        bool stopSeen = false;
        bool ended = false;
    };

    static bool Advance(Stopping& stopping, int ms);
    bool AllEnded() const;
    std::optional<std::string> Silence();
    void StartLook();
    void LogWaiting() const;
    void LeaveRunning(const std::string& why);

    const RootWatch& roots;
    std::vector<Stopping> stopping;
    QElapsedTimer since;
    std::shared_ptr<const RootWatch::Look> look;
    QElapsedTimer lookAge;
};

} // namespace States
