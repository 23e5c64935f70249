#include "States/SubscriptionExpired.h"

#include "States/MapDownload.h"

#include "Log.h"

namespace States {

SubscriptionExpired::SubscriptionExpired(my_context ctx)
    : my_base(ctx)
{
    LOG(Info) << "Entered SubscriptionExpired state";
    context<Common>().SetUiState(Ui::State::SubscriptionExpired);
}

boost::statechart::result SubscriptionExpired::react(const Events::DownloadMap&)
{
    LOG(Info) << "Got ResetMap event: switching to MapDownload state";
    return transit<MapDownload>();
}

} // namespace States
