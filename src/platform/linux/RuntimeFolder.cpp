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

// A relative path would name another folder in each current folder; the XDG rules say to ignore it.
std::string UnfitGiven(const std::string& path)
{
    return path.front() != '/' ? "it is not an absolute path" : Unfit(path, false);
}

std::string SessionFolder()
{
    const QByteArray root = qgetenv("TESSALY_RUN_ROOT");
    return (root.isEmpty() ? std::string("/run") : root.toStdString()) + "/user/" + std::to_string(::geteuid());
}

// The program's own folder, made if missing and kept at 0700.
void Prepare(const std::string& path)
{
    const std::string reason
        = ::mkdir(path.c_str(), 0700) != 0 && errno != EEXIST ? std::strerror(errno) : Unfit(path, true);
    if (!reason.empty())
        throw std::runtime_error("Failed to use runtime folder: " + Described(path, reason));
}

QString Decoded(const std::string& path)
{
    return QFile::decodeName(path.c_str());
}

} // namespace

// The place depends on the user alone, so that every start of the user's finds a running copy, whatever
// XDG_RUNTIME_DIR a shell profile, su or a script left. A copy started before the user's session had its folder runs
// in the program's own, and a later start looks there too.
RuntimeFolder PrivateRuntimeFolder()
{
    const std::string given = qgetenv("XDG_RUNTIME_DIR").toStdString();
    const std::string session = SessionFolder();
    const std::string own = QFile::encodeName(QDir::tempPath()).toStdString() + "/runtime-" + UserName();
    const bool sessionFit = Unfit(session, false).empty();
    const std::string passedBy = given.empty() ? std::string() : UnfitGiven(given);
    const std::string& path = sessionFit ? session : own;
    if (!passedBy.empty())
        LOG(Warning) << "Passed by runtime folder: " << Described(given, passedBy) << "; using \"" << path << "\"";
    if (!sessionFit) {
        Prepare(own);
        return {Decoded(own), {}};
    }
    return {Decoded(session), Unfit(own, false).empty() ? QStringList {Decoded(own)} : QStringList()};
}
