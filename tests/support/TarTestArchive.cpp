#include "TarTestArchive.h"

#include <QCryptographicHash>
#include <QDir>
#include <QDirIterator>
#include <QFile>

#include <cstring>

namespace {

void Put(QByteArray& block, int offset, const QByteArray& field)
{
    std::memcpy(block.data() + offset, field.constData(), static_cast<std::size_t>(field.size()));
}

QByteArray Octal(std::int64_t value, int digits)
{
    return QByteArray::number(qlonglong(value), 8).rightJustified(digits, '0');
}

QByteArray Base256(std::int64_t value)
{
    QByteArray field(12, '\0');
    for (int i = 11; i > 0; --i, value >>= 8)
        field[i] = char(value & 0xff);
    field[0] = char(0x80);
    return field;
}

QByteArray Padded(const QByteArray& data)
{
    return data + QByteArray((512 - data.size() % 512) % 512, '\0');
}

} // namespace

TarTestArchive& TarTestArchive::Add(const Entry& entry)
{
    bytes_ += Header(entry) + Padded(entry.data);
    return *this;
}

TarTestArchive& TarTestArchive::Folder(const QByteArray& name)
{
    return Add({name, '5'});
}

TarTestArchive& TarTestArchive::File(const QByteArray& name, const QByteArray& data)
{
    return Add({name, '0', data});
}

TarTestArchive& TarTestArchive::Pax(const QByteArray& key, const QByteArray& value, char type)
{
    QByteArray record = " " + key + "=" + value + "\n";
    int length = record.size();
    while (QByteArray::number(length).size() + record.size() != length)
        length = QByteArray::number(length).size() + record.size();
    return Add({"PaxHeaders/x", type, QByteArray::number(length) + record});
}

TarTestArchive& TarTestArchive::End()
{
    bytes_ += QByteArray(1024, '\0');
    return *this;
}

QByteArray TarTestArchive::Of(const Entries& entries)
{
    TarTestArchive archive;
    for (const auto& [name, data] : entries)
        name.endsWith('/') ? archive.Folder(name) : archive.File(name, data);
    return archive.End().Bytes();
}

std::string TarTestArchive::Md5(const QByteArray& bytes)
{
    return QCryptographicHash::hash(bytes, QCryptographicHash::Md5).toHex().toStdString();
}

QByteArray TarTestArchive::Header(const Entry& entry)
{
    QByteArray block(512, '\0');
    const std::int64_t size = entry.size >= 0 ? entry.size : entry.data.size();
    Put(block, 0, entry.name.left(100));
    Put(block, 100, "0000644");
    Put(block, 108, "0000000");
    Put(block, 116, "0000000");
    Put(block, 124, entry.base256Size ? Base256(size) : Octal(size, 11));
    if (!entry.sizeField.isEmpty())
        Put(block, 124, entry.sizeField.leftJustified(12, '\0'));
    Put(block, 136, "00000000000");
    block[156] = entry.type;
    Put(block, 257,
        QByteArray("ustar\0"
                   "00",
            8));
    Put(block, 345, entry.prefix.left(155));
    Put(block, 148, QByteArray(8, ' '));
    int sum = 0;
    for (const char c : block)
        sum += static_cast<unsigned char>(c);
    Put(block, 148, Octal(sum + entry.checksumDelta, 6) + QByteArray("\0 ", 2));
    return block;
}

QMap<QString, QByteArray> TarTestArchive::Tree(const QString& root)
{
    QMap<QString, QByteArray> tree;
    QDirIterator it(
        root, QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        QByteArray& item = tree[QDir(root).relativeFilePath(path)];
        QFile file(path);
        if (it.fileInfo().isSymLink())
            item = "<link>";
        else if (it.fileInfo().isDir())
            item = "<folder>";
        else if (file.open(QIODevice::ReadOnly))
            item = file.readAll();
    }
    return tree;
}
