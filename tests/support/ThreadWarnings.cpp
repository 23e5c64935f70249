#include "ThreadWarnings.h"

#include <QRegularExpression>

#include <cstdio>
#include <mutex>

namespace {

std::mutex g_mutex;
QStringList g_messages;
QtMessageHandler g_previous = nullptr;

bool IsAboutThreads(const QString& message)
{
    static const QRegularExpression pattern(
        "thread|QObject|Timers? cannot|QSocketNotifier|QBasicTimer|QTimer|moveToThread|killTimer|startTimer",
        QRegularExpression::CaseInsensitiveOption);
    return pattern.match(message).hasMatch();
}

} // namespace

ThreadWarnings::ThreadWarnings()
    : m_previous(qInstallMessageHandler(Handle))
{
    const std::lock_guard<std::mutex> lock(g_mutex);
    g_previous = m_previous;
    g_messages.clear();
}

ThreadWarnings::~ThreadWarnings()
{
    qInstallMessageHandler(m_previous);
}

QStringList ThreadWarnings::Messages() const
{
    const std::lock_guard<std::mutex> lock(g_mutex);
    return g_messages;
}

void ThreadWarnings::Handle(QtMsgType type, const QMessageLogContext& context, const QString& message)
{
    QtMessageHandler previous = nullptr;
    {
        const std::lock_guard<std::mutex> lock(g_mutex);
        if (type != QtDebugMsg && type != QtInfoMsg && IsAboutThreads(message))
            g_messages << message;
        previous = g_previous;
    }
    if (previous)
        previous(type, context, message);
    else
        std::fprintf(stderr, "%s\n", qPrintable(message));
}
