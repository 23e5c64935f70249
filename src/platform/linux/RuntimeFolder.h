#pragma once

#include <QString>

// The user's private runtime folder: $XDG_RUNTIME_DIR, or "<temp>/runtime-<user>" (made if missing) when that is
// unset. It must be a folder of the user's own, not a symbolic link, with mode 0700, or another local user could
// hold the single-instance lock or fake its FIFO. Throws std::runtime_error saying why when it cannot be had.
QString PrivateRuntimeFolder();
