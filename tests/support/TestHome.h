#pragma once

#include <QDir>
#include <QFile>

#include <cstdlib>

struct TestHome {
    // Points HOME and the XDG folders at fresh folders below root, before Qt is set up, so that no test touches the
    // real user's files. Requests meant for anywhere but the local content service go to a closed local port, so a
    // test that forgets the service fails instead of asking the network (even a name lookup would leave the machine).
    static void PointAt(const QString& root)
    {
        for (const auto& [name, sub] :
            {std::pair {"HOME", "home"}, {"XDG_DATA_HOME", "home/.local/share"}, {"XDG_CONFIG_HOME", "home/.config"},
                {"XDG_CACHE_HOME", "home/.cache"}, {"XDG_RUNTIME_DIR", "runtime"}}) {
            const QString path = root + "/" + sub;
            QDir().mkpath(path);
            QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
            ::setenv(name, QFile::encodeName(path).constData(), 1);
        }
        ::setenv("https_proxy", "http://127.0.0.1:9", 1);
    }

    // Lets requests go straight to their host again (the local content service).
    static void ClearProxies()
    {
        for (const char* name : {"https_proxy", "http_proxy", "all_proxy", "HTTPS_PROXY", "HTTP_PROXY", "ALL_PROXY"})
            ::unsetenv(name);
    }
};
