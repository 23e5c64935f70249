#pragma once

#include "RegularFile.h"

#include <cstddef>
#include <string>
#include <vector>

// Reads a regular file line by line (lines end at LF) while holding at most
// one chunk and one line of the longest allowed length, so that memory stays
// flat whatever the file holds: a line over the bound ends the reading there.
class LineReader {
public:
    enum class Status {
        Line, // the next line is in the argument, without its LF
        End, // no further line
        TooLong, // the next line exceeds the bound; the argument holds its start
        Failed, // the file could not be opened or read
    };

    LineReader(const std::string& path, std::size_t maxLength);

    // False when the file could not be opened or is not a regular file.
    bool IsOpen() const { return m_file.IsOpen(); }

    Status Next(std::string& line);

private:
    bool Fill();

    RegularFile m_file;
    std::size_t m_maxLength;
    std::vector<char> m_chunk;
    std::size_t m_position = 0;
    std::size_t m_filled = 0;
    bool m_failed = false;
};
