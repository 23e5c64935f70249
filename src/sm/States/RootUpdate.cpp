#include "States/RootUpdate.h"

#include "Log.h"

namespace States {

RootUpdate::RootUpdate(my_context context)
    : my_base(context)
{
    LOG(Info) << "Entered RootUpdate state";
}

} // namespace States
