#include "States/MandatoryUpdate.h"

#include "States/MapDownload.h"
#include "States/MapUpdateCheck.h"

#include "Log.h"

namespace States {

MandatoryUpdate::MandatoryUpdate(my_context ctx)
    : my_base(ctx)
{
    LOG(Info) << "Entered MandatoryUpdate state";
    context<Common>().SetUiState(Ui::State::MandatoryUpdate);
}

boost::statechart::result MandatoryUpdate::react(const Events::MandatoryUpdate&)
{
    LOG(Info) << "Got MandatoryUpdate event: updating ui state";
    context<Common>().SetUiState(Ui::State::MandatoryUpdate);
    return discard_event();
}

boost::statechart::result MandatoryUpdate::react(const Events::UsbRemove&)
{
    LOG(Info) << "Got UsbRemove event: switching to MapUpdateCheck state";
    return transit<MapUpdateCheck>();
}

boost::statechart::result MandatoryUpdate::react(const Events::DownloadMap&)
{
    LOG(Info) << "Got DownloadMap event: switching to MapDownload state";
    return transit<MapDownload>();
}

} // namespace States
