#include "States/UsbTooSmall.h"

#include "States/CancelDownload.h"

#include "Log.h"

namespace States {

UsbTooSmall::UsbTooSmall(my_context ctx)
    : my_base(ctx)
{
    LOG(Info) << "Entered UsbTooSmall state";
    context<Common>().SetUiState(Ui::State::UsbTooSmall);
}

boost::statechart::result UsbTooSmall::react(const Events::CancelDownload&)
{
    LOG(Info) << "Got CancelDownload event: switching to CancelDownload state";
    return transit<CancelDownload>();
}

} // namespace States
