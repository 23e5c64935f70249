#pragma once

#include <QByteArray>
#include <QString>

// Writes stick contents into a folder that stands for a stick's root.
// Failures throw std::runtime_error, which fails the calling test.
class StickContent {
public:
    // Lists every file below root/VexmarNDSUpdate (except the list itself) with
    // its lower-case MD5 in root/VexmarNDSUpdate/CHECKSUMS.MD5, sorted by name,
    // names relative to the update folder with "/" separators, LF line ends.
    static void WriteChecksums(const QString& root);

    // Writes bytes into root/relativePath, creating folders as needed.
    static void WriteFile(const QString& root, const QString& relativePath, const QByteArray& bytes);
};
