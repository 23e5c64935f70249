#include "ApplicationGuard.h"

#include "ApplicationGuardImpl.h"

ApplicationGuard::ApplicationGuard(QObject* parent, const QString& eventFolder)
    : QObject(parent)
    , impl(std::make_unique<Impl>(
          *this, eventFolder.isEmpty() ? PrivateRuntimeFolder() : RuntimeFolder {eventFolder, QStringList()}))
{
    qRegisterMetaType<ApplicationGuard::Event>("Event");
}

ApplicationGuard::~ApplicationGuard() = default;

void ApplicationGuard::Start()
{
    impl->start(QThread::InheritPriority);
}
