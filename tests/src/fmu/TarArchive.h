#pragma once

#include "TestFiles.h"

#include <QCryptographicHash>
#include <QDirIterator>

#include <map>

// A ustar archive built entry by entry, as a map package arrives, and the
// tree that unpacking it gives (folders hold "<folder>").
class TarArchive {
public:
    using Tree = std::map<QString, QByteArray>;

    TarArchive& Folder(const QString& name) { return Add(name, '5', "<folder>"); }
    TarArchive& File(const QString& name, const QByteArray& data) { return Add(name, '0', data); }
    QByteArray Bytes() const { return bytes + QByteArray(1024, '\0'); }
    std::string Md5() const { return QCryptographicHash::hash(Bytes(), QCryptographicHash::Md5).toHex().toStdString(); }
    const Tree& Entries() const { return entries; }

    static Tree ReadTree(const QString& root)
    {
        Tree tree;
        for (QDirIterator it(root, QDir::AllEntries | QDir::NoDotAndDotDot, QDirIterator::Subdirectories);
             it.hasNext();) {
            const QString path = it.next();
            tree[path.mid(root.size() + 1)] = it.fileInfo().isDir() ? "<folder>" : TestFiles::Read(path);
        }
        return tree;
    }

private:
    TarArchive& Add(const QString& name, char type, const QByteArray& data)
    {
        const QByteArray contents = type == '0' ? data : QByteArray();
        QByteArray header(512, '\0');
        header.replace(0, name.size(), name.toUtf8());
        header.replace(124, 11, QByteArray::number(contents.size(), 8).rightJustified(11, '0'));
        header[156] = type;
        header.replace(148, 8, "        ");
        int sum = 0;
        for (char byte : header)
            sum += static_cast<unsigned char>(byte);
        header.replace(148, 6, QByteArray::number(sum, 8).rightJustified(6, '0'));
        bytes += header + contents + QByteArray((512 - contents.size() % 512) % 512, '\0');
        entries[name] = data;
        return *this;
    }

    QByteArray bytes;
    Tree entries;
};
