#include "ApplicationGuard.h"

#include "ApplicationGuardImpl.h"

#include <QDir>
#include <QStandardPaths>

namespace {

QString DefaultEventFolder()
{
    const QString runtime = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    return runtime.isEmpty() ? QDir::tempPath() : runtime;
}

} // namespace

ApplicationGuard::ApplicationGuard(QObject* parent, const QString& eventFolder)
    : QObject(parent)
    , impl(std::make_unique<Impl>(*this, eventFolder.isEmpty() ? DefaultEventFolder() : eventFolder))
{
    qRegisterMetaType<ApplicationGuard::Event>("Event");
}

ApplicationGuard::~ApplicationGuard() = default;

void ApplicationGuard::Start()
{
    impl->start(QThread::InheritPriority);
}
