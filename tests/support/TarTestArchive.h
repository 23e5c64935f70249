#pragma once

#include <QByteArray>
#include <QMap>
#include <QString>

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

// Builds tar archives block by block, including malformed and hostile ones,
// and lists unpacked trees for comparison.
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

    TarTestArchive& Add(const Entry& entry);
    TarTestArchive& Folder(const QByteArray& name);
    TarTestArchive& File(const QByteArray& name, const QByteArray& data);
    TarTestArchive& Pax(const QByteArray& key, const QByteArray& value, char type = 'x');
    TarTestArchive& End();
    QByteArray Bytes() const { return bytes_; }

    // A whole archive of folders (names ending in "/") and files, as map packages arrive.
    using Entries = std::vector<std::pair<QByteArray, QByteArray>>;
    static QByteArray Of(const Entries& entries);
    static std::string Md5(const QByteArray& bytes);
    static QByteArray Header(const Entry& entry);
    // Every file and folder below root: relative path -> contents ("<folder>" for folders).
    static QMap<QString, QByteArray> Tree(const QString& root);

private:
    QByteArray bytes_;
};
