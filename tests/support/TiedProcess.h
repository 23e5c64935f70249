#pragma once

#include <QProcess>

#include <csignal>
#include <sys/prctl.h>
#include <unistd.h>

// A helper program that ends with the test process however that ends, a crash or a timeout's SIGKILL included: the
// kernel sends it SIGTERM (Xvfb then removes its socket) when its parent goes. That parent is the thread that started
// it, so start it on one that lives as long as the process: the main thread.
class TiedProcess : public QProcess {
protected:
    void setupChildProcess() override // in the child, before exec
    {
        ::prctl(PR_SET_PDEATHSIG, SIGTERM);
        if (::getppid() != parent) // the parent went before the request: no signal comes
            ::_exit(1);
    }

private:
    const pid_t parent = ::getpid();
};
