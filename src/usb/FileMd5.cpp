#include "FileMd5.h"

#include "Md5.h"

#include <QFile>

namespace {

// Large enough to keep system calls rare, small enough to stay in cache.
constexpr std::size_t ChunkSize = 256 * 1024;

} // namespace

FileMd5::FileMd5()
    : m_buffer(ChunkSize)
{
}

std::string FileMd5::Hex(const boost::filesystem::path& file)
{
    // Unbuffered: every chunk goes straight from the kernel into our buffer.
    QFile input(QFile::decodeName(file.c_str()));
    if (!input.open(QIODevice::ReadOnly | QIODevice::Unbuffered))
        return {};
    Md5 md5;
    for (;;) {
        const qint64 read = input.read(m_buffer.data(), static_cast<qint64>(m_buffer.size()));
        if (read < 0)
            return {};
        if (read == 0)
            return md5.Finish();
        md5.Update(m_buffer.data(), static_cast<std::size_t>(read));
    }
}
