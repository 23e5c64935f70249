// Checks the stick whose root is given and prints the verdict and the seconds
// the check took. run-stick-check-bench.sh compares it with md5sum -c.
//   stick-check-bench STICK_ROOT            the check alone, at once
//   stick-check-bench STICK_ROOT manager    through the USB manager on its own
//                                           thread, in turns of its event loop
//   stick-check-bench STICK_ROOT stop       the manager stopped 0.5 s into the
//                                           check: prints the seconds Stop took
#include "StickVerifier.h"
#include "UsbManager.h"
#include "UsbStorage.h"

#include <QCoreApplication>
#include <QThread>
#include <QTimer>

#include <chrono>
#include <cstring>
#include <iostream>

namespace {

using Clock = std::chrono::steady_clock;

double SecondsSince(Clock::time_point start)
{
    return std::chrono::duration<double>(Clock::now() - start).count();
}

// The manager as the application runs it: moved to a thread of its own, the
// arrival queued to it by name, the result back through a queued signal.
int CheckThroughManager(const char* root, bool stopMidway)
{
    QThread usbThread;
    auto* manager = new UsbManager();
    manager->moveToThread(&usbThread);
    usbThread.start();
    UsbInfo::State state = UsbInfo::NoMetadata;
    QObject::connect(manager, &UsbManager::UsbCheckComplete, qApp, [&state](UsbInfo::Id id) {
        state = UsbStorage::Instance().GetUsb(id).state;
        QCoreApplication::quit();
    });
    DeviceDiscovery::DeviceProperties drive;
    drive.uid = 1;
    drive.path = root;
    const auto start = Clock::now();
    QMetaObject::invokeMethod(
        manager, "MassStorageCome", Qt::QueuedConnection, Q_ARG(const DeviceDiscovery::DeviceProperties&, drive));
    if (stopMidway) {
        QTimer::singleShot(500, qApp, [&] {
            const auto stopping = Clock::now();
            QMetaObject::invokeMethod(manager, "Stop", Qt::BlockingQueuedConnection);
            std::cout << "stop " << SecondsSince(stopping) << "\n";
            QCoreApplication::quit();
        });
    }
    QCoreApplication::exec();
    const double took = SecondsSince(start);
    if (!stopMidway)
        QMetaObject::invokeMethod(manager, "Stop", Qt::BlockingQueuedConnection);
    usbThread.quit();
    usbThread.wait();
    delete manager;
    if (stopMidway)
        return 0;
    std::cout << state << " " << took << "\n";
    return state == UsbInfo::ValidMetadata ? 0 : 1;
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setOrganizationName("Dravo");
    QCoreApplication::setApplicationName("Tessaly");
    const char* mode = argc == 3 ? argv[2] : "";
    if ((argc != 2 && argc != 3) || (argc == 3 && std::strcmp(mode, "manager") && std::strcmp(mode, "stop"))) {
        std::cerr << "usage: stick-check-bench STICK_ROOT [manager|stop]\n";
        return 2;
    }
    if (argc == 3)
        return CheckThroughManager(argv[1], std::strcmp(mode, "stop") == 0);
    const auto start = Clock::now();
    const UsbInfo::State state = StickVerifier::Check(argv[1]);
    std::cout << state << " " << SecondsSince(start) << "\n";
    return state == UsbInfo::ValidMetadata ? 0 : 1;
}
