#pragma once

#include <QByteArray>
#include <QString>

// Replaces a file's contents all at once: written to a temporary file beside
// it and renamed, so a crash or a full disk never leaves a truncated file.
namespace AtomicFile {

// False with the reason in `error` when the file could not be replaced.
bool Write(const QString& path, const QByteArray& bytes, QString& error);

} // namespace AtomicFile
