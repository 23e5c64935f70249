#include "States/CancelDownload.h"

#include "States/MapUpdateCheck.h"
#include "States/OptionalUpdate.h"
#include "States/ServerError.h"

#include "Log.h"
#include "UsbStorage.h"

#include <boost/statechart/shallow_history.hpp>

namespace States {

CancelDownload::CancelDownload(my_context ctx)
    : my_base(ctx)
{
    LOG(Info) << "Entered CancelDownload state";
    context<Common>().AbortMapDownload();
}

boost::statechart::result CancelDownload::react(const Events::CancelDownload&)
{
    LOG(Info) << "Got CancelDownload event";
    // A stick with metadata that was held back while the map was on the
    // selected stick without metadata is checked now.
    if (UsbStorage::Instance().GetSelectedUsb().state == UsbInfo::NoMetadata
        && Common::SelectFirstUsb({UsbInfo::ValidMetadata, UsbInfo::InvalidMetadata})) {
        LOG(Info) << "Switching to MapUpdateCheck state";
        return transit<MapUpdateCheck>();
    }
    LOG(Info) << "Switching to OptionalUpdate state";
    return transit<boost::statechart::shallow_history<OptionalUpdate>>();
}

boost::statechart::result CancelDownload::react(const Events::MapDeletionStarted&)
{
    LOG(Info) << "Got MapDeletionStarted event";
    context<Common>().SetUiState(Ui::State::CancelDownload);
    return discard_event();
}

boost::statechart::result CancelDownload::react(const Events::UsbRemove&)
{
    LOG(Info) << "Got UsbRemove event: switching to MapUpdateCheck state";
    context<Common>().SetUiState(Ui::State::UsbRemoved);
    return transit<MapUpdateCheck>();
}

boost::statechart::result CancelDownload::react(const Events::Quit&)
{
    context<Common>().ConfirmQuit();
    return discard_event();
}

// The removal was never asked for: Cancel asks again.
boost::statechart::result CancelDownload::react(const Events::InvocationFailed&)
{
    LOG(Info) << "Got InvocationFailed event: switching to ServerError state";
    return transit<ServerError>();
}

} // namespace States
