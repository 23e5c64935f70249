#pragma once

#include <QString>

// The user's private runtime folder: $XDG_RUNTIME_DIR when it is a folder of the user's own, not a symbolic link,
// with mode 0700, or another local user could hold the single-instance lock or fake its FIFO. Otherwise (unset, or
// passed by with a Warning) the program's own "<temp>/runtime-<user>", made if missing and kept at 0700; throws
// std::runtime_error saying why when that cannot be had either.
QString PrivateRuntimeFolder();
