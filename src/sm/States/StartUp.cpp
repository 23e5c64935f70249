#include "States/StartUp.h"

#include "States/MapUpdateCheck.h"

#include "Log.h"

namespace States {

StartUp::StartUp(my_context context)
    : my_base(context)
{
    LOG(Info) << "Entered StartUp state";
}

boost::statechart::result StartUp::react(const Events::StartUp&)
{
    LOG(Info) << "Got StartUp event; switching to Common state";
    return transit<Common>();
}

} // namespace States
