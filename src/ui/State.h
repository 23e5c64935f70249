#pragma once

#include <QMetaType>

#include <cstdint>
#include <ostream>

namespace Ui {

// What the user interface shows. Unknown is the initial value of every holder
// of a state; the state machine never sets it.
enum class State : std::int32_t {
    CancelDownload,
    MandatoryUpdate,
    MapDownload,
    MapUpdateCheck,
    MetadataCorrupt,
    NoConnection,
    NoSubscription,
    OptionalUpdate,
    PendingUpdate,
    RootUpdate,
    ServerError,
    SubscriptionExpired,
    Unknown,
    UpToDate,
    UsbBlocked,
    UsbCheck,
    UsbFull,
    UsbRemoved,
    UsbTooSmall
};

// Writes the value's name; nothing for a value outside the enumeration.
std::ostream& operator<<(std::ostream& out, State state);

} // namespace Ui

Q_DECLARE_METATYPE(Ui::State)
