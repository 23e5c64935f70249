#include "NamedEvent.h"

#include <QFile>

#include <cerrno>
#include <chrono>
#include <thread>

#include <fcntl.h>
#include <poll.h>
#include <pthread.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

std::string NativePath(const QString& folder, const QString& name)
{
    return QFile::encodeName(folder + "/" + name).toStdString();
}

// A reader that closes its end before the byte arrives (the first instance
// quitting just then) must not kill the writer with SIGPIPE: the signal is
// blocked for this thread around the write, and one raised by it is taken back.
void WriteOneByte(int fd)
{
    sigset_t pipeSignal;
    sigemptyset(&pipeSignal);
    sigaddset(&pipeSignal, SIGPIPE);
    sigset_t previous;
    ::pthread_sigmask(SIG_BLOCK, &pipeSignal, &previous);
    const char byte = 1;
    ssize_t written;
    while ((written = ::write(fd, &byte, 1)) < 0 && errno == EINTR) { }
    if (written < 0 && errno == EPIPE && !sigismember(&previous, SIGPIPE)) {
        const timespec noWait {0, 0};
        while (::sigtimedwait(&pipeSignal, nullptr, &noWait) < 0 && errno == EINTR) { }
    }
    ::pthread_sigmask(SIG_SETMASK, &previous, nullptr);
}

} // namespace

NamedEvent::NamedEvent(const QString& folder, const QString& name)
    : lockPath_(NativePath(folder, name + ".lock"))
    , fifoPath_(NativePath(folder, name + ".fifo"))
{
}

NamedEvent::~NamedEvent()
{
    if (fifoFd_ >= 0)
        ::close(fifoFd_);
    if (lockFd_ >= 0)
        ::close(lockFd_);
}

bool NamedEvent::Open()
{
    lockFd_ = ::open(lockPath_.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (lockFd_ < 0) {
        lockError_ = errno;
        return false;
    }
    // A lock of our own open file: a second holder in this process is
    // refused as well.
    if (::flock(lockFd_, LOCK_EX | LOCK_NB) == 0)
        return false;
    const int error = errno;
    ::close(lockFd_);
    lockFd_ = -1;
    if (error == EWOULDBLOCK)
        return true;
    lockError_ = error;
    return false;
}

// A shared lock is refused only while an owner holds its exclusive one. A FIFO in the lock's place must not block
// the open.
bool NamedEvent::Held() const
{
    const int fd = ::open(lockPath_.c_str(), O_RDONLY | O_NONBLOCK | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0)
        return false;
    const bool held = ::flock(fd, LOCK_SH | LOCK_NB) != 0 && errno == EWOULDBLOCK;
    ::close(fd);
    return held;
}

// Under the lock nobody else owns the FIFO: a leftover one is replaced. It is
// opened for reading and writing, so a read never sees an end of file, and
// without blocking, so that Set never waits on a FIFO that others filled.
bool NamedEvent::Create(int& error)
{
    if (lockFd_ < 0) {
        error = lockError_ ? lockError_ : EEXIST;
        return false;
    }
    if ((::unlink(fifoPath_.c_str()) != 0 && errno != ENOENT) || ::mkfifo(fifoPath_.c_str(), 0600) != 0) {
        error = errno;
        return false;
    }
    fifoFd_ = ::open(fifoPath_.c_str(), O_RDWR | O_NONBLOCK | O_CLOEXEC);
    if (fifoFd_ < 0) {
        error = errno;
        return false;
    }
    return true;
}

void NamedEvent::Pulse()
{
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(1);
    for (;;) {
        const int fd = ::open(fifoPath_.c_str(), O_WRONLY | O_NONBLOCK | O_CLOEXEC);
        if (fd >= 0) {
            struct stat info { };
            if (::fstat(fd, &info) == 0 && S_ISFIFO(info.st_mode))
                WriteOneByte(fd);
            ::close(fd);
            return;
        }
        // No FIFO or no reader yet: the owner is still setting up.
        if ((errno != ENXIO && errno != ENOENT) || std::chrono::steady_clock::now() >= deadline)
            return;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
}

void NamedEvent::Set()
{
    WriteOneByte(fifoFd_);
}

NamedEvent::Wake NamedEvent::Wait(int timeoutMs)
{
    char bytes[4096];
    for (;;) {
        pollfd readable {fifoFd_, POLLIN, 0};
        const int ready = ::poll(&readable, 1, timeoutMs);
        if (ready == 0)
            return Wake::TimedOut;
        const ssize_t n = ready > 0 ? ::read(fifoFd_, bytes, sizeof bytes) : -1;
        if (n > 0)
            return Wake::Signalled;
        if (n == 0 || (errno != EINTR && errno != EAGAIN))
            return Wake::Failed;
    }
}
