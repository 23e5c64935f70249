#include "States/PendingUpdate.h"

#include "States/CancelDownload.h"
#include "States/MapUpdateCheck.h"

#include "Log.h"

namespace States {

PendingUpdate::PendingUpdate(my_context ctx)
    : my_base(ctx)
{
    LOG(Info) << "Entered PendingUpdate state";
    context<Common>().SetUiState(Ui::State::PendingUpdate);
}

boost::statechart::result PendingUpdate::react(const Events::CancelDownload&)
{
    LOG(Info) << "Got CancelDownload event: switching to CancelDownload state";
    return transit<CancelDownload>();
}

boost::statechart::result PendingUpdate::react(const Events::UsbRemove&)
{
    LOG(Info) << "Got UsbRemove event: switching to MapUpdateCheck state";
    return transit<MapUpdateCheck>();
}

} // namespace States
