#pragma once

#include "StreamBuf.h"

#include <boost/filesystem/path.hpp>

#include <ostream>
#include <string>

namespace Brel {
namespace Tar {

// An output stream that unpacks the tar archive written into it below a root
// folder, in writes of any size, and computes the MD5 of the whole stream.
// tellp() is the number of bytes written: the offset to resume a download from.
// Failures are exceptions (set the exception mask to see them from write()).
class Stream : public std::ostream {
public:
    // A root that does not exist leaves the stream bad.
    explicit Stream(const boost::filesystem::path& root);

    // The MD5 of every byte written, 32 lower-case hexadecimal characters.
    // Call once, after the last write.
    std::string GetMd5();
    // Makes sure what was unpacked is on the device: fails when the archive
    // stopped inside an entry or an earlier write failed, then syncs the root's
    // file system. Throws on failure.
    void Finish();

private:
    StreamBuf buffer_;
};

} // namespace Tar
} // namespace Brel
