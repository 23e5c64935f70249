#include "StickContent.h"
#include "TestFiles.h"

#include <QCryptographicHash>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QStringList>

#include <stdexcept>

namespace {

const QString UpdateFolder = "VexmarNDSUpdate";
const QString ListName = "CHECKSUMS.MD5";

[[noreturn]] void Fail(const QString& what, const QString& path)
{
    throw std::runtime_error((what + ": " + path).toStdString());
}

QByteArray Md5Of(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        Fail("cannot read", path);
    QCryptographicHash hash(QCryptographicHash::Md5);
    hash.addData(&file);
    return hash.result().toHex();
}

QStringList FilesBelow(const QString& folder)
{
    QStringList files;
    QDirIterator it(folder, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString relative = QDir(folder).relativeFilePath(it.next());
        if (relative != ListName)
            files << relative;
    }
    files.sort();
    return files;
}

} // namespace

void StickContent::WriteChecksums(const QString& root)
{
    const QString folder = root + "/" + UpdateFolder;
    QByteArray list;
    for (const QString& relative : FilesBelow(folder))
        list += Md5Of(folder + "/" + relative) + "  " + QFile::encodeName(relative) + "\n";
    WriteFile(root, UpdateFolder + "/" + ListName, list);
}

void StickContent::WriteFile(const QString& root, const QString& relativePath, const QByteArray& bytes)
{
    if (!TestFiles::Write(root + "/" + relativePath, bytes))
        Fail("cannot write", root + "/" + relativePath);
}
