#pragma once

#include <exception>
#include <string>

namespace Brel {
namespace Tar {

// A folder entry that cannot be honoured. Deliberately not a
// std::runtime_error: the writer reports it as "unknown exception".
class DirectoryError : public std::exception {
public:
    explicit DirectoryError(std::string message);
    const char* what() const noexcept override;

private:
    std::string message_;
};

} // namespace Tar
} // namespace Brel
