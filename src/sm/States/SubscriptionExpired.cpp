#include "States/SubscriptionExpired.h"

#include "Log.h"

namespace States {

SubscriptionExpired::SubscriptionExpired(my_context context)
    : my_base(context)
{
    LOG(Info) << "Entered SubscriptionExpired state";
}

} // namespace States
