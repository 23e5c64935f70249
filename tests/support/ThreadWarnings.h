#pragma once

#include <QString>
#include <QStringList>
#include <QtGlobal>

// Collects, while it lives, every message Qt prints about objects, timers or
// sockets used across threads ("QObject: Cannot create children for a parent
// that is in a different thread", "Timers cannot be stopped from another
// thread", ...), from any thread. Other messages pass on unchanged.
class ThreadWarnings {
public:
    ThreadWarnings();
    ~ThreadWarnings();
    ThreadWarnings(const ThreadWarnings&) = delete;
    ThreadWarnings& operator=(const ThreadWarnings&) = delete;

    QStringList Messages() const;

private:
    static void Handle(QtMsgType type, const QMessageLogContext& context, const QString& message);

    QtMessageHandler m_previous;
};
