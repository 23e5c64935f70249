#include "AtomicFile.h"

#include <QSaveFile>

#include <sys/stat.h>

namespace AtomicFile {

// QSaveFile commits even when flushing its buffer wrote only part of it (a
// full disk, a file-size limit), so the flush is checked first. Given
// permissions are set on the temporary file before anything is written, and
// it is created without any for others (the umask is process-wide, but only
// ever narrowed, for the moment of the creation), so that nobody else can open
// it while it is open to them and read the contents later.
bool Write(const QString& path, const QByteArray& bytes, QString& error, QFileDevice::Permissions permissions)
{
    QSaveFile file(path);
    const mode_t umask = permissions ? ::umask(077) : 0;
    const bool opened = file.open(QIODevice::WriteOnly);
    if (permissions)
        ::umask(umask);
    if (opened && (!permissions || file.setPermissions(permissions)) && file.write(bytes) == bytes.size()
        && file.flush() && file.commit())
        return true;
    error = file.errorString();
    return false;
}

} // namespace AtomicFile
