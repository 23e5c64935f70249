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

// The first private one of $XDG_RUNTIME_DIR (an absolute path; otherwise passed by with a Warning), the session
// folder "<run root>/user/<uid>" (run root "/run", or $TESSALY_RUN_ROOT) and the program's own
// "<temp>/runtime-<user>", which is made if missing and kept at 0700. A copy started with a folder of its own naming
// looks for no other; otherwise the session folder and the program's own are both looked in. Throws
// std::runtime_error saying why when no folder can be had.
RuntimeFolder PrivateRuntimeFolder();
