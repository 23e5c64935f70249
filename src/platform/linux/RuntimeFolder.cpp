#include "RuntimeFolder.h"

#include <QDir>
#include <QFile>

#include <cerrno>
#include <cstring>
#include <stdexcept>
#include <string>

#include <fcntl.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

std::string UserName()
{
    const passwd* entry = ::getpwuid(::geteuid());
    return entry ? entry->pw_name : std::to_string(::geteuid());
}

[[noreturn]] void Refuse(const std::string& path, const std::string& reason)
{
    throw std::runtime_error("Failed to use runtime folder: \"" + path + "\", " + reason
        + " (it must be a folder of the user's own with mode 0700)");
}

// Checks the folder itself, never one a symbolic link leads to; a folder of
// the user's own is given mode 0700.
void Verify(const std::string& path)
{
    const int fd = ::open(path.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0) {
        const int error = errno;
        struct stat entry { };
        const bool link = ::lstat(path.c_str(), &entry) == 0 && S_ISLNK(entry.st_mode);
        Refuse(path, link ? "it is a symbolic link" : error == ENOTDIR ? "it is not a folder" : std::strerror(error));
    }
    struct stat info { };
    std::string reason;
    if (::fstat(fd, &info) != 0)
        reason = std::strerror(errno);
    else if (info.st_uid != ::geteuid())
        reason = "it belongs to user id " + std::to_string(info.st_uid);
    else if ((info.st_mode & 07777) != 0700 && ::fchmod(fd, 0700) != 0)
        reason = std::strerror(errno);
    ::close(fd);
    if (!reason.empty())
        Refuse(path, reason);
}

} // namespace

QString PrivateRuntimeFolder()
{
    const QByteArray given = qgetenv("XDG_RUNTIME_DIR");
    const std::string path = given.isEmpty()
        ? QFile::encodeName(QDir::tempPath()).toStdString() + "/runtime-" + UserName()
        : given.toStdString();
    if (given.isEmpty() && ::mkdir(path.c_str(), 0700) != 0 && errno != EEXIST)
        Refuse(path, std::strerror(errno));
    Verify(path);
    return QFile::decodeName(path.c_str());
}
