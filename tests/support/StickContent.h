#pragma once

#include "TestFiles.h"

struct StickContent {
    // Lists each file below root/VexmarNDSUpdate with its MD5 in its CHECKSUMS.MD5, sorted, relative names, LF ends.
    static void WriteChecksums(const QString& root)
    {
        const QString folder = root + "/VexmarNDSUpdate";
        QMap<QString, QByteArray> lines; // sorted by name
        for (QDirIterator it(folder, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories); it.hasNext();)
            if (const QString name = QDir(folder).relativeFilePath(it.next()); name != "CHECKSUMS.MD5")
                lines[name] = QCryptographicHash::hash(TestFiles::Read(it.filePath()), QCryptographicHash::Md5).toHex()
                    + "  " + QFile::encodeName(name) + "\n";
        WriteFile(folder, "CHECKSUMS.MD5", lines.values().join());
    }

    static void WriteFile(const QString& root, const QString& relativePath, const QByteArray& bytes)
    {
        if (!TestFiles::Write(root + "/" + relativePath, bytes))
            throw std::runtime_error("cannot write " + (root + "/" + relativePath).toStdString());
    }
};
