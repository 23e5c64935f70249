#include "StickPath.h"

#include <QFile>
#include <QString>

namespace StickPath {

std::wstring ToWide(const std::string& nativePath)
{
    return QFile::decodeName(QByteArray::fromStdString(nativePath)).toStdWString();
}

boost::filesystem::path ToNative(const std::wstring& widePath)
{
    return boost::filesystem::path(QFile::encodeName(QString::fromStdWString(widePath)).toStdString());
}

} // namespace StickPath
