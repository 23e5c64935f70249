#include "State.h"

#include "EnumName.h"

namespace Ui {

std::ostream& operator<<(std::ostream& out, State state)
{
    static const std::array<const char*, 19> names
        = {"CancelDownload", "MandatoryUpdate", "MapDownload", "MapUpdateCheck", "MetadataCorrupt", "NoConnection",
            "NoSubscription", "OptionalUpdate", "PendingUpdate", "RootUpdate", "ServerError", "SubscriptionExpired",
            "Unknown", "UpToDate", "UsbBlocked", "UsbCheck", "UsbFull", "UsbRemoved", "UsbTooSmall"};
    return Log::WriteEnumName(out, state, names);
}

} // namespace Ui
