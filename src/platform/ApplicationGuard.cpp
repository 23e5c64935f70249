#include "ApplicationGuard.h"

#include "ApplicationGuardImpl.h"
#include "RuntimeFolder.h"

ApplicationGuard::ApplicationGuard(QObject* parent, const QString& eventFolder)
    : QObject(parent)
    , impl(std::make_unique<Impl>(*this, eventFolder.isEmpty() ? PrivateRuntimeFolder() : eventFolder))
{
    qRegisterMetaType<ApplicationGuard::Event>("Event");
}

ApplicationGuard::~ApplicationGuard() = default;

void ApplicationGuard::Start()
{
    impl->start(QThread::InheritPriority);
}
