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
    // Requests meant for anywhere but the local content service go to a closed
    // local port, so a test that forgets to point the program at the service
    // fails instead of asking the network (even a name lookup would leave the
    // machine). The content service's helper clears it.
    ::setenv("https_proxy", "http://127.0.0.1:9", 1);
}

void ClearProxies()
{
    for (const char* name : {"https_proxy", "http_proxy", "all_proxy", "HTTPS_PROXY", "HTTP_PROXY", "ALL_PROXY"})
        ::unsetenv(name);
}

} // namespace TestHome
