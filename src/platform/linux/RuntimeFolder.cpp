#include "RuntimeFolder.h"

#include "Log.h"

#include <QDir>
#include <QFile>

#include <cerrno>
#include <cstdio>
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

std::string Octal(mode_t mode)
{
    char text[8] = "";
    std::snprintf(text, sizeof text, "%04o", static_cast<unsigned>(mode));
    return text;
}

std::string Described(const std::string& path, const std::string& reason)
{
    return "\"" + path + "\", " + reason + " (it must be a folder of the user's own with mode 0700)";
}

// Why the folder cannot be the private one; empty when it can. Looks at the
// folder itself, never at one a symbolic link leads to. Only the program's
// own folder is given mode 0700: another may be shared, as /tmp is.
std::string Unfit(const std::string& path, bool own)
{
    const int fd = ::open(path.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0) {
        const int error = errno;
        struct stat entry { };
        const bool link = ::lstat(path.c_str(), &entry) == 0 && S_ISLNK(entry.st_mode);
        return link ? "it is a symbolic link" : error == ENOTDIR ? "it is not a folder" : std::strerror(error);
    }
    struct stat info { };
    std::string reason;
    if (::fstat(fd, &info) != 0)
        reason = std::strerror(errno);
    else if (info.st_uid != ::geteuid())
        reason = "it belongs to user id " + std::to_string(info.st_uid);
    else if ((info.st_mode & 07777) != 0700 && !own)
        reason = "its mode is " + Octal(info.st_mode & 07777);
    else if ((info.st_mode & 07777) != 0700 && ::fchmod(fd, 0700) != 0)
        reason = std::strerror(errno);
    ::close(fd);
    return reason;
}

} // namespace

QString PrivateRuntimeFolder()
{
    const QByteArray given = qgetenv("XDG_RUNTIME_DIR");
    if (!given.isEmpty()) {
        const std::string reason = Unfit(given.toStdString(), false);
        if (reason.empty())
            return QFile::decodeName(given);
        LOG(Warning) << "Passed by runtime folder: " << Described(given.toStdString(), reason)
                     << "; using the program's own";
    }
    const std::string path = QFile::encodeName(QDir::tempPath()).toStdString() + "/runtime-" + UserName();
    const std::string reason
        = ::mkdir(path.c_str(), 0700) != 0 && errno != EEXIST ? std::strerror(errno) : Unfit(path, true);
    if (!reason.empty())
        throw std::runtime_error("Failed to use runtime folder: " + Described(path, reason));
    return QFile::decodeName(path.c_str());
}
