#include "PopupLink.h"

#include "EnumName.h"

namespace Ui {

std::ostream& operator<<(std::ostream& out, PopupLink link)
{
    static const std::array<const char*, 6> names = {"Blank", "Continue", "Dismiss", "ShowHelp", "ManageMaps", "Retry"};
    return Log::WriteEnumName(out, link, names);
}

} // namespace Ui
