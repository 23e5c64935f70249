#include "JsonFile.h"

#include "AtomicFile.h"
#include "Documents.h"

#include <QFile>

#include <boost/property_tree/json_parser.hpp>
#include <boost/property_tree/ptree.hpp>

#include <sstream>
#include <stdexcept>

namespace JsonFile {

namespace {

constexpr QFileDevice::Permissions OwnerOnly = QFileDevice::ReadOwner | QFileDevice::WriteOwner;

} // namespace

boost::property_tree::ptree Read(const QString& path)
{
    return Documents::ReadJsonFile(QFile::encodeName(path).toStdString());
}

void Write(const QString& path, const boost::property_tree::ptree& tree)
{
    std::ostringstream text;
    boost::property_tree::write_json(text, tree, true);
    QString error;
    if (!AtomicFile::Write(path, QByteArray::fromStdString(text.str()), error, OwnerOnly))
        throw std::runtime_error(error.toStdString());
}

QString KeepUnreadable(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return QString();
    const QByteArray bytes = file.readAll();
    const QString copy = path + ".bad";
    QString error;
    return file.error() == QFileDevice::NoError && AtomicFile::Write(copy, bytes, error, OwnerOnly) ? copy : QString();
}

} // namespace JsonFile
