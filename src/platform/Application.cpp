#include "Application.h"

#include "Log.h"

#include <QThread>

#include <cstdio>
#include <stdexcept>
#include <utility>

Application::Application(int& argc, char** argv)
    : QApplication(argc, argv)
{
}

// Other threads handle their own errors.
bool Application::notify(QObject* receiver, QEvent* event)
{
    if (QThread::currentThread() != thread())
        return QApplication::notify(receiver, event);
    try {
        return QApplication::notify(receiver, event);
    } catch (...) {
        if (!pendingError)
            pendingError = std::current_exception();
        exit(1);
        return false;
    }
}

int Application::Run(const std::function<int()>& body)
{
    try {
        const int code = body();
        if (pendingError)
            std::rethrow_exception(std::exchange(pendingError, nullptr));
        return code;
    } catch (const std::exception& e) {
        // Also for a start that ends before any log exists.
        std::fprintf(stderr, "Caught unhandled error: %s\n", e.what());
        LOG(Error) << "Caught unhandled error: " << e.what();
    } catch (...) {
        LOG(Error) << "Caught unknown unhandled error";
    }
    return 1;
}
