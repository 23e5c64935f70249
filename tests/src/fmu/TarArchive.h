#pragma once

#include <QByteArray>
#include <QCryptographicHash>
#include <QString>

#include <string>
#include <utility>
#include <vector>

// Map packages as they arrive: ustar archives built from a list of entries.
namespace TarArchive {

using Entries = std::vector<std::pair<QString, QByteArray>>;

// A name ending in "/" is a folder.
inline QByteArray Tar(const Entries& entries)
{
    QByteArray bytes;
    for (const auto& [name, data] : entries) {
        QByteArray header(512, '\0');
        header.replace(0, name.size(), name.toUtf8());
        header.replace(124, 11, QByteArray::number(data.size(), 8).rightJustified(11, '0'));
        header[156] = name.endsWith('/') ? '5' : '0';
        header.replace(148, 8, "        ");
        int sum = 0;
        for (char byte : header)
            sum += static_cast<unsigned char>(byte);
        header.replace(148, 6, QByteArray::number(sum, 8).rightJustified(6, '0'));
        bytes += header + data + QByteArray((512 - data.size() % 512) % 512, '\0');
    }
    return bytes + QByteArray(1024, '\0');
}

inline std::string Md5(const QByteArray& bytes)
{
    return QCryptographicHash::hash(bytes, QCryptographicHash::Md5).toHex().toStdString();
}

} // namespace TarArchive
