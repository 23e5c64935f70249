#include "UsbInfo.h"

#include "EnumName.h"

std::ostream& operator<<(std::ostream& out, UsbInfo::State state)
{
    static constexpr std::array<const char*, 3> names {"InvalidMetadata", "NoMetadata", "ValidMetadata"};
    return Log::WriteEnumName(out, state, names);
}
