#pragma once

#include <QRegularExpression>
#include <QStringList>

#include <mutex>

// Collects, while it lives, every warning Qt prints from any thread about objects, timers or sockets used across
// threads ("QObject: Cannot create children for a parent that is in a different thread"); all pass on unchanged.
class ThreadWarnings {
public:
    ThreadWarnings()
    {
        const std::lock_guard<std::mutex> lock(mutex);
        messages.clear();
        previous = qInstallMessageHandler(Handle);
    }
    ~ThreadWarnings() { qInstallMessageHandler(previous); }

    QStringList Messages() const
    {
        const std::lock_guard<std::mutex> lock(mutex);
        return messages;
    }

private:
    static void Handle(QtMsgType type, const QMessageLogContext& context, const QString& message)
    {
        static const QRegularExpression aboutThreads(
            "thread|QObject|Timers? cannot|QSocketNotifier|QBasicTimer|QTimer|moveToThread|killTimer|startTimer",
            QRegularExpression::CaseInsensitiveOption);
        std::unique_lock<std::mutex> lock(mutex);
        if (type != QtDebugMsg && type != QtInfoMsg && aboutThreads.match(message).hasMatch())
            messages << message;
        const QtMessageHandler next = previous; // Qt's own at least
        lock.unlock();
        next(type, context, message);
    }

    static inline std::mutex mutex;
    static inline QStringList messages;
    static inline QtMessageHandler previous = nullptr;
};
