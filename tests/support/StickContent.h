#pragma once

#include "TestFiles.h"

struct StickContent {
    // Lists each file below root/VexmarNDSUpdate with its MD5 in its CHECKSUMS.MD5, sorted, relative names, LF ends.
    static void WriteChecksums(const QString& root)
    {
        const QString folder = root + "/VexmarNDSUpdate";
        QStringList files;
        for (QDirIterator it(folder, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories); it.hasNext();)
            files << QDir(folder).relativeFilePath(it.next());
        files.removeAll("CHECKSUMS.MD5");
        files.sort();
        QByteArray list;
        for (const QString& name : files)
            list += QCryptographicHash::hash(TestFiles::Read(folder + "/" + name), QCryptographicHash::Md5).toHex()
                + "  " + QFile::encodeName(name) + "\n";
        WriteFile(folder, "CHECKSUMS.MD5", list);
    }

    static void WriteFile(const QString& root, const QString& relativePath, const QByteArray& bytes)
    {
        if (!TestFiles::Write(root + "/" + relativePath, bytes))
            throw std::runtime_error("cannot write " + (root + "/" + relativePath).toStdString());
    }
};
