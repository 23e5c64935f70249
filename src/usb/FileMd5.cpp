#include "FileMd5.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>

namespace {

// Large enough to keep system calls rare, small enough to stay in cache.
constexpr std::size_t ChunkSize = 256 * 1024;

} // namespace

FileMd5::FileMd5()
    : m_buffer(ChunkSize)
{
}

FileMd5::~FileMd5()
{
    Close();
}

std::string FileMd5::Hex(const boost::filesystem::path& file)
{
    Begin(file);
    while (!Step()) { }
    return m_result;
}

void FileMd5::Begin(const boost::filesystem::path& file)
{
    Close();
    m_md5.Finish(); // forgets the bytes of a hash that was dropped halfway
    m_result.clear();
    m_descriptor = ::open(file.c_str(), O_RDONLY | O_CLOEXEC);
}

bool FileMd5::Step()
{
    if (m_descriptor < 0)
        return true;
    ssize_t read = 0;
    do {
        read = ::read(m_descriptor, m_buffer.data(), m_buffer.size());
    } while (read < 0 && errno == EINTR);
    if (read > 0) {
        m_md5.Update(m_buffer.data(), static_cast<std::size_t>(read));
        return false;
    }
    if (read == 0)
        m_result = m_md5.Finish();
    Close();
    return true;
}

void FileMd5::Close()
{
    if (m_descriptor >= 0)
        ::close(m_descriptor);
    m_descriptor = -1;
}
