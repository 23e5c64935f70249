#include "States/NetworkOperation.h"

#include "States/MapUpdateCheck.h"
#include "States/NoConnection.h"
#include "States/ServerError.h"

#include "Log.h"

namespace States {

NetworkOperation::NetworkOperation(my_context ctx)
    : my_base(ctx)
{
    LOG(Info) << "Entered NetworkOperation state";
}

boost::statechart::result NetworkOperation::react(const Events::NoConnection&)
{
    LOG(Info) << "Got NoConnection event: switching to NoConnection state";
    return transit<NoConnection>();
}

boost::statechart::result NetworkOperation::react(const Events::UsbRemove&)
{
    LOG(Info) << "Got UsbRemove event: switching to MapUpdateCheck state";
    context<Common>().SetUiState(Ui::State::UsbRemoved);
    return transit<MapUpdateCheck>();
}

// The check or download was never asked for: Retry asks again.
boost::statechart::result NetworkOperation::react(const Events::InvocationFailed&)
{
    LOG(Info) << "Got InvocationFailed event: switching to ServerError state";
    return transit<ServerError>();
}

} // namespace States
