#include "States/NoSubscription.h"

#include "Log.h"

namespace States {

NoSubscription::NoSubscription(my_context context)
    : my_base(context)
{
    LOG(Info) << "Entered NoSubscription state";
}

} // namespace States
