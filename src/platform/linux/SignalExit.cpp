#include "SignalExit.h"

#include "Log.h"

#include <QCoreApplication>
#include <QSocketNotifier>

#include <array>
#include <atomic>
#include <cerrno>

#include <fcntl.h>
#include <unistd.h>

namespace {

constexpr std::array<int, 3> kSignals {SIGTERM, SIGINT, SIGHUP};

std::atomic<int> g_writeEnd {-1};

// One signal asks for a clean exit; any second one of the three, during a
// stalled teardown, takes the default action.
void OnSignal(int signal)
{
    const int savedErrno = errno;
    struct sigaction defaultAction { };
    defaultAction.sa_handler = SIG_DFL;
    sigemptyset(&defaultAction.sa_mask);
    for (const int each : kSignals)
        ::sigaction(each, &defaultAction, nullptr);
    const unsigned char number = static_cast<unsigned char>(signal);
    (void)!::write(g_writeEnd.load(), &number, 1);
    errno = savedErrno;
}

} // namespace

SignalExit::SignalExit(QObject* parent)
    : QObject(parent)
    , pipe {-1, -1}
    , notifier(nullptr)
    , previous {}
{
    if (::pipe2(pipe, O_CLOEXEC | O_NONBLOCK) != 0) {
        LOG(Error) << "Failed to create signal pipe, error code: " << errno;
        return;
    }
    g_writeEnd = pipe[1];
    notifier = new QSocketNotifier(pipe[0], QSocketNotifier::Read, this);
    connect(notifier, &QSocketNotifier::activated, this, &SignalExit::Leave);
    struct sigaction action { };
    action.sa_handler = &OnSignal;
    action.sa_flags = SA_RESTART;
    sigemptyset(&action.sa_mask);
    for (std::size_t i = 0; i < kSignals.size(); ++i)
        ::sigaction(kSignals[i], &action, &previous[i]);
}

SignalExit::~SignalExit()
{
    if (pipe[0] < 0)
        return;
    for (std::size_t i = 0; i < kSignals.size(); ++i)
        ::sigaction(kSignals[i], &previous[i], nullptr);
    g_writeEnd = -1;
    delete notifier;
    ::close(pipe[0]);
    ::close(pipe[1]);
}

void SignalExit::Leave()
{
    unsigned char number = 0;
    while (::read(pipe[0], &number, 1) == 1)
        LOG(Info) << "Received signal " << static_cast<int>(number) << ", quitting";
    QCoreApplication::exit(0);
}
