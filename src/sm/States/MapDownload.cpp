#include "States/MapDownload.h"

#include "States/CancelDownload.h"
#include "States/PendingUpdate.h"
#include "States/ServerError.h"
#include "States/UsbBlocked.h"
#include "States/UsbFull.h"
#include "States/UsbTooSmall.h"

#include "Log.h"
#include "MapStorage.h"

namespace States {

MapDownload::MapDownload(my_context ctx)
    : my_base(ctx)
{
    LOG(Info) << "Entered MapDownload state";
    // From an offer the chosen map; on a retry (by history) the interrupted
    // one, which is there: Retry checks again when it is not.
    const auto* chosen = dynamic_cast<const Events::DownloadMap*>(triggering_event());
    context<Common>().DownloadMap(chosen ? chosen->mapId : MapStorage::Instance().GetDownloadingMap().id);
}

boost::statechart::result MapDownload::react(const Events::MapDownloadStarted&)
{
    LOG(Info) << "Got MapDownloadStarted event";
    context<Common>().SetUiState(Ui::State::MapDownload);
    return discard_event();
}

boost::statechart::result MapDownload::react(const Events::UsbBlocked&)
{
    LOG(Info) << "Got UsbBlocked event: switching to UsbBlocked state";
    return transit<UsbBlocked>();
}

boost::statechart::result MapDownload::react(const Events::UsbFull&)
{
    LOG(Info) << "Got UsbFull event: switching to UsbFull state";
    return transit<UsbFull>();
}

boost::statechart::result MapDownload::react(const Events::UsbTooSmall&)
{
    LOG(Info) << "Got UsbTooSmall event: switching to UsbTooSmall state";
    return transit<UsbTooSmall>();
}

boost::statechart::result MapDownload::react(const Events::ServerError&)
{
    LOG(Info) << "Got ServerError event: switching to ServerError state";
    return transit<ServerError>();
}

boost::statechart::result MapDownload::react(const Events::FinishDownload&)
{
    LOG(Info) << "Got FinishDownload event: switching to PendingUpdate state";
    return transit<PendingUpdate>();
}

boost::statechart::result MapDownload::react(const Events::CancelDownload&)
{
    LOG(Info) << "Got CancelDownload event: switching to CancelDownload state";
    return transit<CancelDownload>();
}

boost::statechart::result MapDownload::react(const Events::Quit&)
{
    context<Common>().ConfirmQuit();
    return discard_event();
}

} // namespace States
