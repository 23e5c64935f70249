#pragma once

#include <QObject>
#include <QString>

#include <cstdint>
#include <memory>

// Keeps the program to one instance per user. Its thread either finds the
// event of a running instance (signals it and reports Quit) or creates it
// (reports StartUp, then Activate each time another start signals it).
class ApplicationGuard : public QObject {
    Q_OBJECT

public:
    enum Event : std::int32_t { StartUp = 0, Quit = 1, Activate = 2 };
    Q_ENUM(Event)

    // The event lives in eventFolder, and only there is another instance looked
    // for; by default in the user's private runtime folder, looking also where
    // another start of the user's may have put it, and std::runtime_error says
    // why when there is none.
    explicit ApplicationGuard(QObject* parent = nullptr, const QString& eventFolder = QString());
    // Stops the thread and waits for it.
    ~ApplicationGuard() override;

    void Start();

signals:
    // Emitted from the guard's thread.
    void ApplicationEvent(ApplicationGuard::Event event);

private:
    class Impl;
    std::unique_ptr<Impl> impl;
};
