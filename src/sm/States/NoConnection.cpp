#include "States/NoConnection.h"

#include "States/CancelDownload.h"
#include "States/MapUpdateCheck.h"
#include "States/MetadataCorrupt.h"
#include "States/UsbCheck.h"

#include "Log.h"

#include <boost/statechart/shallow_history.hpp>

namespace States {

NoConnection::NoConnection(my_context ctx)
    : my_base(ctx)
{
    LOG(Info) << "Entered NoConnection state";
    context<Common>().SetUiState(Ui::State::NoConnection);
}

boost::statechart::result NoConnection::react(const Events::Retry&)
{
    LOG(Info) << "Got Retry event: switching to NetworkOperation state";
    // A download that is gone from the catalogue cannot be resumed: check again.
    if (!Common::HasDownloadToResume())
        return transit<MapUpdateCheck>();
    return transit<boost::statechart::shallow_history<MapUpdateCheck>>();
}

boost::statechart::result NoConnection::react(const Events::CancelDownload&)
{
    LOG(Info) << "Got CancelDownload event: switching to CancelDownload state";
    return transit<CancelDownload>();
}

boost::statechart::result NoConnection::react(const Events::UsbRemove&)
{
    LOG(Info) << "Got UsbRemove event: switching to MapUpdateCheck state";
    context<Common>().ShowUsbRemovedDuringMapOperation();
    return transit<MapUpdateCheck>();
}

boost::statechart::result NoConnection::react(const Events::UsbInsert&)
{
    LOG(Info) << "Got UsbInsert event: switching to UsbCheck state";
    context<Common>().SetUsbCheckOrigin(Common::UsbCheckOrigin::NoConnection);
    return transit<UsbCheck>();
}

boost::statechart::result NoConnection::react(const Events::InvalidMetadata& event)
{
    if (event.origin != Events::Origin::Selected)
        return discard_event();
    LOG(Info) << "Got InvalidMetadata event: switching to MetadataCorrupt state";
    return transit<MetadataCorrupt>();
}

boost::statechart::result NoConnection::react(const Events::Quit&)
{
    context<Common>().QuitOrConfirm();
    return discard_event();
}

} // namespace States
