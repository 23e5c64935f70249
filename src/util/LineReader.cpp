#include "LineReader.h"

#include <algorithm>

namespace {

constexpr std::size_t ChunkSize = 64 * 1024;

} // namespace

LineReader::LineReader(const std::string& path, std::size_t maxLength)
    : m_maxLength(maxLength)
    , m_chunk(ChunkSize)
{
    m_failed = !m_file.Open(path);
}

LineReader::Status LineReader::Next(std::string& line)
{
    line.clear();
    while (!m_failed) {
        if (m_position == m_filled && !Fill())
            break;
        const auto begin = m_chunk.begin() + static_cast<std::ptrdiff_t>(m_position);
        const auto end = m_chunk.begin() + static_cast<std::ptrdiff_t>(m_filled);
        const auto lineEnd = std::find(begin, end, '\n');
        // One byte past the bound is enough to know that the line is too long.
        const auto room = static_cast<std::ptrdiff_t>(m_maxLength + 1 - line.size());
        line.append(begin, begin + std::min(lineEnd - begin, room));
        if (line.size() > m_maxLength) {
            line.resize(m_maxLength);
            return Status::TooLong;
        }
        m_position = static_cast<std::size_t>(lineEnd - m_chunk.begin());
        if (lineEnd != end) {
            ++m_position;
            return Status::Line;
        }
    }
    if (m_failed)
        return Status::Failed;
    return line.empty() ? Status::End : Status::Line;
}

// Reads the next chunk; false at the end of the file or on a failure.
bool LineReader::Fill()
{
    const long read = m_file.Read(m_chunk.data(), m_chunk.size());
    m_failed = read < 0;
    m_position = 0;
    m_filled = read > 0 ? static_cast<std::size_t>(read) : 0;
    return read > 0;
}
