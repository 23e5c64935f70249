#pragma once

#include "TestFiles.h"

#include <pwd.h>

struct TestHome {
    // Before Qt is set up. A test that forgets the content service meets a closed local port, not the network. The
    // run root has no session folder, so a guard keeps its lock in the program's own runtime folder in the test's
    // temporary folder, never meeting the user's copy; XDG_RUNTIME_DIR only keeps Qt away from the user's.
    static void PointAt(const QString& root)
    {
        for (const auto& [name, sub] :
            {std::pair {"HOME", "home"}, {"XDG_DATA_HOME", "home/.local/share"}, {"XDG_CONFIG_HOME", "home/.config"},
                {"XDG_CACHE_HOME", "home/.cache"}, {"XDG_RUNTIME_DIR", "runtime"}, {"TMPDIR", "tmp"}}) {
            const QString path = root + "/" + sub;
            QDir().mkpath(path);
            QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
            ::setenv(name, QFile::encodeName(path).constData(), 1);
        }
        ::setenv("TESSALY_RUN_ROOT", QFile::encodeName(root + "/run").constData(), 1);
        ::setenv("https_proxy", "http://127.0.0.1:9", 1);
    }

    // "<temp>/runtime-<user>": where the program keeps its lock without a session folder.
    static QString OwnRuntimeFolder(const QString& temp = QDir::tempPath())
    {
        return temp + "/runtime-" + QString::fromLocal8Bit(::getpwuid(::geteuid())->pw_name);
    }

    static void ClearProxies()
    {
        for (const char* name : {"https_proxy", "http_proxy", "all_proxy", "HTTPS_PROXY", "HTTP_PROXY", "ALL_PROXY"})
            ::unsetenv(name);
    }
};
