#include "DirectoryError.h"

namespace Brel {
namespace Tar {

DirectoryError::DirectoryError(std::string message)
    : message_(std::move(message))
{
}

const char* DirectoryError::what() const noexcept
{
    return message_.c_str();
}

} // namespace Tar
} // namespace Brel
