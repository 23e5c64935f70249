// ThrowingEventHandler <logs folder> std|other: an event loop run the way the
// program runs its own, whose handler throws.
#include "Application.h"
#include "Log.h"

#include <QTimer>

#include <cstring>
#include <stdexcept>

int main(int argc, char** argv)
{
    if (argc != 3)
        return 2;
    Application app(argc, argv);
    const auto logger = Log::CreateFileLogger(argv[1]);
    logger->SetLevel(Log::Debug);
    const bool standard = std::strcmp(argv[2], "std") == 0;
    return app.Run([standard] {
        QTimer::singleShot(0, [standard] {
            if (standard)
                throw std::runtime_error("broken handler");
            throw 42;
        });
        const int code = QApplication::exec();
        LOG(Info) << "Event loop left with " << code;
        return code;
    });
}
