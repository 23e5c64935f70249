#include "MapDownloaderTestArchive.h"

#include <QCryptographicHash>

#include <boost/filesystem/operations.hpp>

#include <cstdio>
#include <cstring>

namespace fs = boost::filesystem;

const QByteArray MapDownloaderTestArchive::kFolder = "<folder>";

namespace {

constexpr int kBlock = 512;

void PutField(QByteArray& block, int offset, const std::string& text)
{
    std::memcpy(block.data() + offset, text.data(), text.size());
}

std::string Octal(qint64 value, int digits)
{
    char text[32];
    std::snprintf(text, sizeof text, "%0*llo", digits, static_cast<unsigned long long>(value));
    return text;
}

QByteArray Padding(qint64 size)
{
    return QByteArray(static_cast<int>((kBlock - size % kBlock) % kBlock), '\0');
}

} // namespace

MapDownloaderTestArchive& MapDownloaderTestArchive::Folder(const std::string& name)
{
    AddHeader(name, '5', 0);
    entries[name.substr(0, name.size() - 1)] = kFolder;
    return *this;
}

MapDownloaderTestArchive& MapDownloaderTestArchive::File(const std::string& name, const QByteArray& data)
{
    AddHeader(name, '0', data.size());
    bytes += data + Padding(data.size());
    entries[name] = data;
    return *this;
}

void MapDownloaderTestArchive::AddHeader(const std::string& name, char type, qint64 size)
{
    QByteArray block(kBlock, '\0');
    PutField(block, 0, name);
    PutField(block, 100, Octal(0644, 7));
    PutField(block, 108, Octal(0, 7));
    PutField(block, 116, Octal(0, 7));
    PutField(block, 124, Octal(size, 11));
    PutField(block, 136, Octal(0, 11));
    block[156] = type;
    PutField(block, 257,
        std::string("ustar\0"
                    "00",
            8));
    PutField(block, 148, "        ");
    unsigned sum = 0;
    for (char byte : block)
        sum += static_cast<unsigned char>(byte);
    PutField(block, 148, Octal(sum, 6) + std::string(1, '\0'));
    bytes += block;
}

QByteArray MapDownloaderTestArchive::Bytes() const
{
    return bytes + QByteArray(2 * kBlock, '\0');
}

std::string MapDownloaderTestArchive::Md5() const
{
    return QCryptographicHash::hash(Bytes(), QCryptographicHash::Md5).toHex().toStdString();
}

MapDownloaderTestArchive::Tree MapDownloaderTestArchive::ReadTree(const fs::path& root)
{
    Tree tree;
    if (!fs::exists(root))
        return tree;
    for (fs::recursive_directory_iterator entry(root), end; entry != end; ++entry) {
        const std::string relative = fs::relative(entry->path(), root).generic_string();
        if (fs::is_directory(entry->status())) {
            tree[relative] = kFolder;
            continue;
        }
        std::string data(static_cast<std::size_t>(fs::file_size(entry->path())), '\0');
        std::FILE* file = std::fopen(entry->path().c_str(), "rb");
        const std::size_t read = std::fread(&data[0], 1, data.size(), file);
        std::fclose(file);
        tree[relative] = QByteArray(data.data(), static_cast<int>(read));
    }
    return tree;
}

QByteArray MapDownloaderTestArchive::Contents(int size, int seed)
{
    QByteArray data(size, '\0');
    unsigned state = 2463534242u + static_cast<unsigned>(seed);
    for (char& byte : data) {
        state ^= state << 13;
        state ^= state >> 17;
        state ^= state << 5;
        byte = static_cast<char>(state);
    }
    return data;
}
