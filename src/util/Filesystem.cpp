#include "Filesystem.h"

#include "Log.h"

#include <QCoreApplication>

#include <boost/filesystem/operations.hpp>

#include <fcntl.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <chrono>
#include <cmath>
#include <cstring>
#include <thread>

namespace fs = boost::filesystem;

bool PathExists(const fs::path& path)
{
    std::this_thread::sleep_for(std::chrono::milliseconds(500));
    boost::system::error_code error;
    const fs::file_status status = fs::status(path, error);
    // boost sets the error code for a missing file too; that is an answer,
    // not a failure.
    if (status.type() == fs::file_not_found)
        return false;
    if (error) {
        LOG(Warning) << "Failed to check if path: " << path << " exists"
                     << ", " << error.message();
        return false;
    }
    return status.type() != fs::status_error;
}

namespace {

bool SyncPath(const fs::path& path, int flags)
{
    const int descriptor = ::open(path.c_str(), flags | O_CLOEXEC);
    const bool synced = descriptor >= 0 && ::fsync(descriptor) == 0;
    const int error = errno;
    if (descriptor >= 0)
        ::close(descriptor);
    if (!synced)
        LOG(Warning) << "Failed to sync: " << path << ", " << std::strerror(error);
    return synced;
}

} // namespace

bool SyncFile(const fs::path& path)
{
    return SyncPath(path, O_RDONLY) && SyncFolder(path.parent_path());
}

bool SyncFolder(const fs::path& folder)
{
    return SyncPath(folder, O_RDONLY | O_DIRECTORY);
}

bool HasFreeSpace(const fs::path& path)
{
    boost::system::error_code error;
    const fs::space_info space = fs::space(path, error);
    if (error) {
        LOG(Warning) << "Failed to get space info of path: " << path << ", " << error.message();
        return false;
    }
    return space.free >= 1024;
}

QString FormatSize(std::uint64_t bytes, int decimals)
{
    static constexpr std::array<const char*, 5> kUnits {QT_TRANSLATE_NOOP("global", "B"),
        QT_TRANSLATE_NOOP("global", "KB"), QT_TRANSLATE_NOOP("global", "MB"), QT_TRANSLATE_NOOP("global", "GB"),
        QT_TRANSLATE_NOOP("global", "TB")};
    const double value = static_cast<double>(bytes);
    double number = value;
    QString unit;
    for (int index = static_cast<int>(kUnits.size()) - 1; index >= 0; --index) {
        const double divisor = std::pow(2.0, 10 * index);
        if (value >= divisor) {
            number = static_cast<float>(value / divisor);
            unit = QCoreApplication::translate("global", kUnits[static_cast<std::size_t>(index)]);
            if (!unit.isEmpty())
                break;
        }
    }
    if (unit.isEmpty())
        unit = QCoreApplication::translate("global", kUnits[0]);
    return QString("%1 %2").arg(QString::number(number, 'f', decimals), unit);
}
