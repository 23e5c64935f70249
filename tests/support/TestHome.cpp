#include "TestHome.h"

#include <QDir>
#include <QFile>

#include <cstdlib>

namespace TestHome {

void PointAt(const QString& root)
{
    const auto set = [&root](const char* name, const QString& sub) {
        const QString path = root + "/" + sub;
        QDir().mkpath(path);
        QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        ::setenv(name, QFile::encodeName(path).constData(), 1);
    };
    set("HOME", "home");
    set("XDG_DATA_HOME", "home/.local/share");
    set("XDG_CONFIG_HOME", "home/.config");
    set("XDG_CACHE_HOME", "home/.cache");
    set("XDG_RUNTIME_DIR", "runtime");
}

} // namespace TestHome
