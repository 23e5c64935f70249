#include "States/UsbFull.h"

#include "States/CancelDownload.h"
#include "States/MapUpdateCheck.h"

#include "Log.h"

namespace States {

UsbFull::UsbFull(my_context ctx)
    : my_base(ctx)
{
    LOG(Info) << "Entered UsbFull state";
    context<Common>().SetUiState(Ui::State::UsbFull);
}

boost::statechart::result UsbFull::react(const Events::CancelDownload&)
{
    LOG(Info) << "Got CancelDownload event: switching to CancelDownload state";
    return transit<CancelDownload>();
}

boost::statechart::result UsbFull::react(const Events::UsbRemove&)
{
    LOG(Info) << "Switching to MapUpdateCheck state";
    return transit<MapUpdateCheck>();
}

boost::statechart::result UsbFull::react(const Events::Quit&)
{
    context<Common>().ConfirmQuit();
    return discard_event();
}

} // namespace States
