#pragma once

#include <QtCore>

// Qt's warnings from any thread about objects, timers or sockets used across threads; all pass on unchanged.
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
        const std::lock_guard<std::mutex> lock(mutex);
        if (type != QtDebugMsg && type != QtInfoMsg && aboutThreads.match(message).hasMatch())
            messages << message;
        previous(type, context, message); // Qt's own at least
    }

    static inline std::mutex mutex;
    static inline QStringList messages;
    static inline QtMessageHandler previous = nullptr;
};
