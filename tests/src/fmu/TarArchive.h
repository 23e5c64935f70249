#pragma once

#include "TestFiles.h"

#include <QByteArray>
#include <QCryptographicHash>
#include <QDirIterator>

#include <cstdio>
#include <cstring>
#include <map>
#include <string>

// A ustar archive built entry by entry, as a map package arrives, and the
// tree that unpacking it gives (folders hold "<folder>").
class TarArchive {
public:
    using Tree = std::map<QString, QByteArray>;

    TarArchive& Folder(const QString& name) { return Add(name + "/", '5', {}); }
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
    static QByteArray Contents(int size, int seed)
    {
        QByteArray data(size, '\0');
        for (int index = 0; index < size; ++index)
            data[index] = static_cast<char>((index * 7919u + seed) % 251);
        return data;
    }

private:
    TarArchive& Add(const QString& name, char type, const QByteArray& data)
    {
        QByteArray header(512, '\0');
        const auto put = [&header](int offset, const std::string& text) {
            std::memcpy(header.data() + offset, text.data(), text.size());
        };
        put(0, name.toStdString());
        put(124, Octal(data.size(), 11));
        header[156] = type;
        put(148, "        ");
        unsigned sum = 0;
        for (char byte : header)
            sum += static_cast<unsigned char>(byte);
        put(148, Octal(sum, 6));
        bytes += header + data + QByteArray((512 - data.size() % 512) % 512, '\0');
        entries[name.endsWith('/') ? name.chopped(1) : name] = type == '5' ? QByteArray("<folder>") : data;
        return *this;
    }
    static std::string Octal(long long value, int digits)
    {
        char text[24];
        std::snprintf(text, sizeof text, "%0*llo", digits, value);
        return text;
    }

    QByteArray bytes;
    Tree entries;
};
