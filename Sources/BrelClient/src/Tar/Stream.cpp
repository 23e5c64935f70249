#include "Stream.h"

#include "Log.h"

#include <boost/filesystem/operations.hpp>

namespace Brel {
namespace Tar {

Stream::Stream(const boost::filesystem::path& root)
    : std::ostream(nullptr)
    , buffer_(root)
{
    boost::system::error_code error;
    const auto status = boost::filesystem::status(root, error);
    if (error || !boost::filesystem::exists(status)) {
        LOG_BREL(Error) << "Failed to open tar stream for: " << root;
        return;
    }
    init(&buffer_);
    LOG_BREL(Info) << "Opened tar stream for: " << root;
}

std::string Stream::GetMd5()
{
    return buffer_.GetMd5();
}

void Stream::Finish()
{
    buffer_.Finish();
}

} // namespace Tar
} // namespace Brel
