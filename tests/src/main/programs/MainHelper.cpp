// MainHelper [<logs folder> std|other]: an event loop run as the program runs its own. Without arguments it leaves
// the loop on a signal, then stalls in its teardown as if waiting for a stuck thread; with them its handler throws.
#include "Application.h"
#include "Log.h"
#include "SignalExit.h"

#include <QTimer>

#include <chrono>
#include <cstring>
#include <iostream>
#include <stdexcept>
#include <thread>

int main(int argc, char** argv)
{
    Application app(argc, argv);
    if (argc < 3) {
        const SignalExit signalExit;
        std::cout << "running" << std::endl;
        QCoreApplication::exec();
        std::cout << "stalled" << std::endl;
        std::this_thread::sleep_for(std::chrono::seconds(30));
        return 0;
    }
    const auto logger = Log::CreateFileLogger(argv[1]);
    logger->SetLevel(Log::Debug);
    return app.Run([standard = std::strcmp(argv[2], "std") == 0] {
        QTimer::singleShot(0, [standard] { standard ? throw std::runtime_error("broken handler") : throw 42; });
        const int code = QApplication::exec();
        LOG(Info) << "Event loop left with " << code;
        return code;
    });
}
