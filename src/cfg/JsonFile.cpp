#include "JsonFile.h"

#include "AtomicFile.h"
#include "Documents.h"

#include <QFile>
#include <QFileInfo>

#include <boost/property_tree/json_parser.hpp>
#include <boost/property_tree/ptree.hpp>

#include <cerrno>
#include <cstring>
#include <sstream>
#include <stdexcept>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace JsonFile {

namespace {

constexpr QFileDevice::Permissions OwnerOnly = QFileDevice::ReadOwner | QFileDevice::WriteOwner;

} // namespace

const char* const kLeftAsItWas = "it is left as it was, the values in memory are used";

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

bool KeepUnreadable(const QString& path, QString& record, const QString& withoutCopy)
{
    if (!QFileInfo(path).isFile())
        return true;
    QFile file(path);
    const QString copy = path + ".bad";
    QString error;
    if (!file.open(QIODevice::ReadOnly))
        error = file.errorString();
    else if (const QByteArray bytes = file.readAll(); file.error() != QFileDevice::NoError)
        error = file.errorString();
    else if (AtomicFile::Write(copy, bytes, error, OwnerOnly)) {
        record = "Kept the unreadable file as: " + copy;
        return true;
    }
    record = "Failed to keep the unreadable file as: " + copy + ", " + error + "; " + withoutCopy;
    return false;
}

QString MakePrivate(const QString& path)
{
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return QString();
    struct stat info { };
    QString failure;
    if (::fstat(fd, &info) == 0 && S_ISREG(info.st_mode) && info.st_uid == ::geteuid() && (info.st_mode & 07177) != 0
        && ::fchmod(fd, info.st_mode & 0600) != 0)
        failure = "Failed to make private: " + path + ", " + QString::fromLocal8Bit(std::strerror(errno));
    ::close(fd);
    return failure;
}

} // namespace JsonFile
