#pragma once

#include <QString>
#include <QStringList>

// Where the single-instance event lives. Only private folders count (the user's own, not a symbolic link, mode
// 0700), or another local user could hold the lock or fake the FIFO.
struct RuntimeFolder {
    // The folder the event is made in.
    QString path;
    // Other folders in which a running copy of the user's may have made its event.
    QStringList others;
};

// The session folder "<run root>/user/<uid>" (run root "/run", or $TESSALY_RUN_ROOT) when it is private, which is never
// made or changed; else the program's own "<temp>/runtime-<user>", which is made if missing and kept at 0700. A start
// that takes the session folder looks for a running copy in the program's own too. $XDG_RUNTIME_DIR moves neither: one
// that is not private or not an absolute path is passed by with a Warning. Throws std::runtime_error saying why when no
// folder can be had.
RuntimeFolder PrivateRuntimeFolder();
