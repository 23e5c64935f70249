#pragma once

#include <cstddef>
#include <string>

// A file opened for reading only when it is a regular file. Opening never
// waits: a FIFO without a writer, a device or a socket in place of a file is
// refused at once instead of blocking the thread that reads it. The path is
// taken byte for byte.
class RegularFile {
public:
    RegularFile() = default;
    ~RegularFile();
    RegularFile(const RegularFile&) = delete;
    RegularFile& operator=(const RegularFile&) = delete;

    // Closes any file held, then opens this one; false (and an error text)
    // when it cannot be opened or is not a regular file.
    bool Open(const std::string& path);
    void Close();
    bool IsOpen() const { return m_descriptor >= 0; }
    const std::string& Error() const { return m_error; }

    // Reads up to size bytes: the count read, 0 at the end, -1 on a failure
    // (or when nothing is open).
    long Read(char* buffer, std::size_t size);

private:
    int m_descriptor = -1;
    std::string m_error;
};
