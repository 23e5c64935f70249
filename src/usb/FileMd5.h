#pragma once

#include <boost/filesystem/path.hpp>

#include <string>
#include <vector>

// MD5 of whole files, read in fixed chunks so that memory stays flat whatever
// the file size. One object serves many files and reuses its buffer.
class FileMd5 {
public:
    FileMd5();

    // The 32-character lower-case hexadecimal MD5 of the file's content, or an
    // empty text when the file cannot be opened or read (never a listed hash).
    std::string Hex(const boost::filesystem::path& file);

private:
    std::vector<char> m_buffer;
};
