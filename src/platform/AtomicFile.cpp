#include "AtomicFile.h"

#include <QSaveFile>

namespace AtomicFile {

// QSaveFile commits even when flushing its buffer wrote only part of it (a
// full disk, a file-size limit), so the flush is checked first. The
// permissions are set on the temporary file, so the contents are never
// readable by more than they allow.
bool Write(const QString& path, const QByteArray& bytes, QString& error, QFileDevice::Permissions permissions)
{
    QSaveFile file(path);
    if (file.open(QIODevice::WriteOnly) && (!permissions || file.setPermissions(permissions))
        && file.write(bytes) == bytes.size() && file.flush() && file.commit())
        return true;
    error = file.errorString();
    return false;
}

} // namespace AtomicFile
