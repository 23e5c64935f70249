#pragma once

#include <QByteArray>
#include <QFileDevice>
#include <QString>

// Replaces a file's contents all at once: written to a temporary file beside
// it and renamed, so a crash or a full disk never leaves a truncated file.
namespace AtomicFile {

// False with the reason in `error` when the file could not be replaced. Given
// permissions hold whatever the umask, from the file's creation on; without,
// the file keeps those of the one it replaces, or gets the umask's.
bool Write(const QString& path, const QByteArray& bytes, QString& error,
    QFileDevice::Permissions permissions = QFileDevice::Permissions());

} // namespace AtomicFile
