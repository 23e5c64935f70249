#include "FileMd5.h"

namespace {

// Large enough to keep system calls rare, small enough to stay in cache.
constexpr std::size_t ChunkSize = 256 * 1024;

} // namespace

FileMd5::FileMd5()
    : m_buffer(ChunkSize)
{
}

void FileMd5::Begin(const boost::filesystem::path& file)
{
    m_md5.Finish(); // forgets the bytes of a hash that was dropped halfway
    m_result.clear();
    m_file.Open(file.native());
}

bool FileMd5::Step()
{
    if (!m_file.IsOpen())
        return true;
    const long read = m_file.Read(m_buffer.data(), m_buffer.size());
    if (read > 0) {
        m_md5.Update(m_buffer.data(), static_cast<std::size_t>(read));
        return false;
    }
    if (read == 0)
        m_result = m_md5.Finish();
    m_file.Close();
    return true;
}
