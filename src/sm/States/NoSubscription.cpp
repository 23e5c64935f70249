#include "States/NoSubscription.h"

#include "States/MapUpdateCheck.h"

#include "Log.h"

namespace States {

NoSubscription::NoSubscription(my_context ctx)
    : my_base(ctx)
{
    LOG(Info) << "Entered NoSubscription state";
    context<Common>().SetUiState(Ui::State::NoSubscription);
}

boost::statechart::result NoSubscription::react(const Events::UsbRemove&)
{
    LOG(Info) << "Got UsbRemove event: switching to MapUpdateCheck state";
    return transit<MapUpdateCheck>();
}

} // namespace States
