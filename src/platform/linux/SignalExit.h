#pragma once

#include <QObject>

#include <csignal>

class QSocketNotifier;

// Leaves the event loop with code 0 on SIGTERM, SIGINT or SIGHUP, so that
// the normal teardown runs and the log is flushed. The signal handler only
// writes into a pipe; the event loop reads it.
class SignalExit : public QObject {
    Q_OBJECT

public:
    explicit SignalExit(QObject* parent = nullptr);
    ~SignalExit() override;

private:
    void Leave();

    int pipe[2];
    QSocketNotifier* notifier;
    struct sigaction previous[3];
};
