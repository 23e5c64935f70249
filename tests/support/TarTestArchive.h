#pragma once

#include "TestFiles.h"

#include <numeric>

// Builds tar archives block by block, including malformed and hostile ones, and lists unpacked trees for comparison.
class TarTestArchive {
public:
    struct Entry {
        Entry(QByteArray name, char type, QByteArray data = {})
            : name(std::move(name))
            , type(type)
            , data(std::move(data))
        {
        }
        Entry& Prefix(const QByteArray& value) { return prefix = value, *this; }
        Entry& Size(std::int64_t value) { return size = value, *this; }
        Entry& Base256() { return base256Size = true, *this; }
        Entry& ChecksumDelta(int value) { return checksumDelta = value, *this; }
        Entry& SizeField(const QByteArray& value) { return sizeField = value, *this; }

        QByteArray name;
        char type;
        QByteArray data;
        QByteArray prefix; // written with the ustar magic
        std::int64_t size = -1; // -1: the data's size
        bool base256Size = false;
        int checksumDelta = 0; // spoils the checksum when not 0
        QByteArray sizeField; // raw size field, replacing the computed one
    };

    TarTestArchive& Add(const Entry& entry)
    {
        bytes_ += Header(entry) + entry.data.leftJustified((entry.data.size() + 511) / 512 * 512, '\0');
        return *this;
    }
    TarTestArchive& Folder(const QByteArray& name) { return Add({name, '5'}); }
    TarTestArchive& File(const QByteArray& name, const QByteArray& data) { return Add({name, '0', data}); }
    TarTestArchive& Pax(const QByteArray& key, const QByteArray& value, char type = 'x')
    {
        const QByteArray record = " " + key + "=" + value + "\n";
        int length = record.size() + 1; // the record and the digits of its own length
        for (; QByteArray::number(length).size() + record.size() != length; ++length) { }
        return Add({"PaxHeaders/x", type, QByteArray::number(length) + record});
    }
    TarTestArchive& End() { return bytes_ += QByteArray(1024, '\0'), *this; }
    QByteArray Bytes() const { return bytes_; }

    using Entries = std::vector<std::pair<QByteArray, QByteArray>>;
    static QByteArray Of(const Entries& entries)
    {
        TarTestArchive archive;
        for (const auto& [name, data] : entries)
            name.endsWith('/') ? archive.Folder(name) : archive.File(name, data);
        return archive.End().Bytes();
    }
    static std::string Md5(const QByteArray& bytes)
    {
        return QCryptographicHash::hash(bytes, QCryptographicHash::Md5).toHex().toStdString();
    }
    static QByteArray Header(const Entry& entry)
    {
        QByteArray block(512, '\0');
        const auto put = [&block](int offset, const QByteArray& field) { block.replace(offset, field.size(), field); };
        const auto octal = [](qlonglong n, int width) { return QByteArray::number(n, 8).rightJustified(width, '0'); };
        std::int64_t size = entry.size >= 0 ? entry.size : entry.data.size();
        QByteArray sizeField = entry.base256Size ? QByteArray(12, '\0') : octal(size, 11);
        for (int i = 11; entry.base256Size && i >= 0; --i, size >>= 8)
            sizeField[i] = char(i == 0 ? 0x80 : size & 0xff);
        put(0, entry.name.left(100));
        put(100, QByteArray("0000644") + '\0' + "0000000" + '\0' + "0000000"); // mode, owner, group
        put(124, entry.sizeField.isEmpty() ? sizeField : entry.sizeField.leftJustified(12, '\0'));
        put(136, "00000000000");
        block[156] = entry.type;
        put(257, QByteArray("ustar\0", 6) + "00");
        put(345, entry.prefix.left(155));
        put(148, QByteArray(8, ' '));
        const int sum = std::accumulate(block.begin(), block.end(), 0, [](int sum, char c) { return sum + uchar(c); });
        put(148, octal(sum + entry.checksumDelta, 6) + QByteArray("\0 ", 2));
        return block;
    }
    // Every file and folder below root: relative path -> contents ("<folder>" for folders, "<link>" for links).
    static QMap<QString, QByteArray> Tree(const QString& root)
    {
        QMap<QString, QByteArray> tree;
        const auto all = QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System;
        for (QDirIterator it(root, all, QDirIterator::Subdirectories); it.hasNext();) {
            const QFileInfo info(it.next());
            tree[QDir(root).relativeFilePath(info.filePath())] = info.isSymLink() ? "<link>"
                : info.isDir()                                                    ? "<folder>"
                                                                                  : TestFiles::Read(info.filePath());
        }
        return tree;
    }

private:
    QByteArray bytes_;
};
