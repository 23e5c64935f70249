#pragma once

#include <QString>
#include <QStringList>
#include <QtGlobal>

// Collects Qt's messages that contain a text while it lives.
class QtWarnings {
public:
    explicit QtWarnings(const char* text)
    {
        needle = text;
        found.clear();
        previous = qInstallMessageHandler(&QtWarnings::Handle);
    }
    ~QtWarnings() { qInstallMessageHandler(previous); }
    QtWarnings(const QtWarnings&) = delete;
    QtWarnings& operator=(const QtWarnings&) = delete;
    const QStringList& Found() const { return found; }

private:
    static void Handle(QtMsgType, const QMessageLogContext&, const QString& message)
    {
        if (message.contains(needle))
            found << message;
    }
    static inline QString needle;
    static inline QStringList found;
    QtMessageHandler previous;
};
