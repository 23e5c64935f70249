#include "IResponse.h"

#include "EnumName.h"

namespace Brel {

std::ostream& operator<<(std::ostream& out, IResponse::Result result)
{
    static constexpr std::array<const char*, 5> names {"Ok", "ContentError", "ServerError", "NoConnection", "IOError"};
    return Log::WriteEnumName(out, result, names);
}

} // namespace Brel
