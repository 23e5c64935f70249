#pragma once

#include "Md5.h"
#include "RegularFile.h"

#include <boost/filesystem/path.hpp>

#include <string>
#include <vector>

// MD5 of whole files, read in fixed chunks so that memory stays flat whatever
// the file size, one chunk at a time, so that a long hash can be interrupted
// between chunks. One object serves many files and reuses its buffer.
class FileMd5 {
public:
    FileMd5();
    FileMd5(const FileMd5&) = delete;
    FileMd5& operator=(const FileMd5&) = delete;

    // Starts hashing the file, dropping any hash under way.
    void Begin(const boost::filesystem::path& file);
    // Hashes the next chunk; true once the file is done. Result() then holds
    // the 32-character lower-case hexadecimal MD5 of the file's content, or an
    // empty text when the file could not be opened or read, or is not a
    // regular file (never a listed hash).
    bool Step();
    const std::string& Result() const { return m_result; }

private:
    std::vector<char> m_buffer;
    Md5 m_md5;
    RegularFile m_file;
    std::string m_result;
};
