#include "States/UsbCheck.h"

#include "States/MapUpdateCheck.h"
#include "States/MetadataCorrupt.h"
#include "States/NoConnection.h"
#include "States/RootUpdate.h"

#include "Log.h"

namespace States {

UsbCheck::UsbCheck(my_context ctx)
    : my_base(ctx)
{
    LOG(Info) << "Entered UsbCheck state";
    context<Common>().SetUiState(Ui::State::UsbCheck);
}

boost::statechart::result UsbCheck::react(const Events::InvalidMetadata& event)
{
    if (event.origin != Events::Origin::Selected)
        return NotSelected(event.origin, "InvalidMetadata");
    LOG(Info) << "Got InvalidMetadata event: switching to MetadataCorrupt state";
    return transit<MetadataCorrupt>();
}

boost::statechart::result UsbCheck::react(const Events::NoMetadata& event)
{
    if (event.origin != Events::Origin::Selected)
        return NotSelected(event.origin, "NoMetadata");
    // Root maps are on show only after a root check; elsewhere one is needed.
    if (context<Common>().GetUsbCheckOrigin() == Common::UsbCheckOrigin::NoConnection) {
        LOG(Info) << "Got NoMetadata event: switching to MapUpdateCheck state";
        return transit<MapUpdateCheck>();
    }
    LOG(Info) << "Got NoMetadata event: switching to RootUpdate state";
    return transit<RootUpdate>();
}

boost::statechart::result UsbCheck::react(const Events::ValidMetadata& event)
{
    if (event.origin != Events::Origin::Selected)
        return NotSelected(event.origin, "ValidMetadata");
    LOG(Info) << "Got ValidMetadata event: switching to MapUpdateCheck state";
    return transit<MapUpdateCheck>();
}

boost::statechart::result UsbCheck::react(const Events::Quit&)
{
    context<Common>().ConfirmQuit();
    return discard_event();
}

// A check's result is no verification. A verification that kept the selected
// stick goes back to where the stick was found: an interrupted download stays
// resumable.
boost::statechart::result UsbCheck::NotSelected(Events::Origin origin, const char* event)
{
    if (origin == Events::Origin::Check)
        return discard_event();
    if (context<Common>().GetUsbCheckOrigin() == Common::UsbCheckOrigin::NoConnection) {
        LOG(Info) << "Got " << event << " event: switching to NoConnection state";
        return transit<NoConnection>();
    }
    LOG(Info) << "Got " << event << " event: switching to RootUpdate state";
    return transit<RootUpdate>();
}

} // namespace States
