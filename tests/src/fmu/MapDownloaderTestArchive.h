#pragma once

#include <QByteArray>

#include <boost/filesystem/path.hpp>

#include <map>
#include <string>

// Builds a ustar archive entry by entry, as a map package arrives, and lists
// unpacked trees for comparison.
class MapDownloaderTestArchive {
public:
    // Relative path -> contents; folders hold kFolder.
    using Tree = std::map<std::string, QByteArray>;
    static const QByteArray kFolder;

    // name ends in "/".
    MapDownloaderTestArchive& Folder(const std::string& name);
    MapDownloaderTestArchive& File(const std::string& name, const QByteArray& data);
    // The entries followed by the two closing zero blocks.
    QByteArray Bytes() const;
    std::string Md5() const;
    // What unpacking it gives.
    const Tree& Entries() const { return entries; }

    static Tree ReadTree(const boost::filesystem::path& root);
    // Deterministic contents of the given size.
    static QByteArray Contents(int size, int seed);

private:
    void AddHeader(const std::string& name, char type, qint64 size);

    QByteArray bytes;
    Tree entries;
};
