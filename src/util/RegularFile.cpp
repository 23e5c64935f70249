#include "RegularFile.h"

#include <cerrno>
#include <cstring>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

RegularFile::~RegularFile()
{
    Close();
}

bool RegularFile::Open(const std::string& path)
{
    Close();
    m_error.clear();
    // Non-blocking, so that opening a FIFO does not wait for a writer; regular
    // files ignore the flag when read.
    const int descriptor = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (descriptor < 0) {
        m_error = std::strerror(errno);
        return false;
    }
    struct stat info { };
    if (::fstat(descriptor, &info) != 0 || !S_ISREG(info.st_mode)) {
        ::close(descriptor);
        m_error = "not a regular file";
        return false;
    }
    m_descriptor = descriptor;
    return true;
}

void RegularFile::Close()
{
    if (m_descriptor >= 0)
        ::close(m_descriptor);
    m_descriptor = -1;
}

long RegularFile::Read(char* buffer, std::size_t size)
{
    if (m_descriptor < 0)
        return -1;
    ssize_t read = 0;
    do {
        read = ::read(m_descriptor, buffer, size);
    } while (read < 0 && errno == EINTR);
    return static_cast<long>(read);
}
