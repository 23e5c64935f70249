// StalledTeardown: leaves its event loop on a signal as the program does, then
// stalls in its teardown, as a teardown waiting for a stuck thread would.
#include "SignalExit.h"

#include <QCoreApplication>

#include <chrono>
#include <cstdio>
#include <thread>

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const SignalExit signalExit;
    std::puts("running");
    std::fflush(stdout);
    QCoreApplication::exec();
    std::puts("stalled");
    std::fflush(stdout);
    std::this_thread::sleep_for(std::chrono::seconds(30));
    return 0;
}
