#include "States/UsbBlocked.h"

#include "States/CancelDownload.h"

#include "Log.h"

namespace States {

UsbBlocked::UsbBlocked(my_context ctx)
    : my_base(ctx)
{
    LOG(Info) << "Entered UsbBlocked state";
    context<Common>().SetUiState(Ui::State::UsbBlocked);
}

boost::statechart::result UsbBlocked::react(const Events::CancelDownload&)
{
    LOG(Info) << "Got CancelDownload event: switching to CancelDownload state";
    return transit<CancelDownload>();
}

boost::statechart::result UsbBlocked::react(const Events::Quit&)
{
    context<Common>().ConfirmQuit();
    return discard_event();
}

} // namespace States
