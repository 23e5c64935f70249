#include "States/RootUpdate.h"

#include "States/MapDownload.h"
#include "States/MapUpdateCheck.h"
#include "States/MetadataCorrupt.h"
#include "States/UsbCheck.h"

#include "Log.h"

namespace States {

RootUpdate::RootUpdate(my_context ctx)
    : my_base(ctx)
{
    LOG(Info) << "Entered RootUpdate state";
    context<Common>().SetUiState(Ui::State::RootUpdate);
}

boost::statechart::result RootUpdate::react(const Events::RootUpdate&)
{
    LOG(Info) << "Got RootUpdate event: updating ui state";
    context<Common>().SetUiState(Ui::State::RootUpdate);
    return discard_event();
}

boost::statechart::result RootUpdate::react(const Events::UsbInsert&)
{
    LOG(Info) << "Got UsbInsert event: switching to UsbCheck state";
    context<Common>().SetUsbCheckOrigin(Common::UsbCheckOrigin::RootUpdate);
    return transit<UsbCheck>();
}

boost::statechart::result RootUpdate::react(const Events::UsbRemove&)
{
    LOG(Info) << "Got UsbRemove event: doing nothing";
    return discard_event();
}

boost::statechart::result RootUpdate::react(const Events::DownloadMap&)
{
    LOG(Info) << "Got DownloadMap event: switching to MapDownload state";
    return transit<MapDownload>();
}

boost::statechart::result RootUpdate::react(const Events::ValidMetadata& event)
{
    if (event.origin != Events::Origin::Selected)
        return discard_event();
    LOG(Info) << "Got ValidMetadata event: switching to MapUpdateCheck state";
    return transit<MapUpdateCheck>();
}

boost::statechart::result RootUpdate::react(const Events::InvalidMetadata& event)
{
    if (event.origin != Events::Origin::Selected)
        return discard_event();
    LOG(Info) << "Got InvalidMetadata event: switching to MetadataCorrupt state";
    return transit<MetadataCorrupt>();
}

} // namespace States
