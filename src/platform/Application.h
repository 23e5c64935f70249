#pragma once

#include <QApplication>

#include <exception>
#include <functional>

// The application object. An exception that escapes an event handler on the
// GUI thread must not cross Qt's event loop: it is kept, the loop is left
// with code 1, and Run passes it to its last-resort handler.
class Application : public QApplication {
public:
    Application(int& argc, char** argv);

    bool notify(QObject* receiver, QEvent* event) override;

    // Runs body (which runs the event loop) inside the last-resort handler:
    // an error, thrown or kept from an event handler, is logged and gives 1.
    int Run(const std::function<int()>& body);

private:
    std::exception_ptr pendingError;
};
