#include "States/ServerError.h"

#include "States/CancelDownload.h"
#include "States/MapUpdateCheck.h"

#include "Log.h"

#include <boost/statechart/shallow_history.hpp>

namespace States {

ServerError::ServerError(my_context ctx)
    : my_base(ctx)
{
    LOG(Info) << "Entered ServerError state";
    context<Common>().SetUiState(Ui::State::ServerError);
}

boost::statechart::result ServerError::react(const Events::Retry&)
{
    LOG(Info) << "Got Retry event: switching to NetworkOperation state";
    // A download that is gone from the catalogue cannot be resumed: check again.
    if (!Common::HasDownloadToResume())
        return transit<MapUpdateCheck>();
    return transit<boost::statechart::shallow_history<MapUpdateCheck>>();
}

boost::statechart::result ServerError::react(const Events::CancelDownload&)
{
    LOG(Info) << "Got CancelDownload event: switching to CancelDownload state";
    return transit<CancelDownload>();
}

boost::statechart::result ServerError::react(const Events::UsbRemove&)
{
    LOG(Info) << "Got UsbRemove event: switching to MapUpdateCheck state";
    context<Common>().ShowUsbRemovedDuringMapOperation();
    return transit<MapUpdateCheck>();
}

boost::statechart::result ServerError::react(const Events::Quit&)
{
    context<Common>().QuitOrConfirm();
    return discard_event();
}

} // namespace States
