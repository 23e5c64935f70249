#include "States/OptionalUpdate.h"

#include "Log.h"

namespace States {

OptionalUpdate::OptionalUpdate(my_context context)
    : my_base(context)
{
    LOG(Info) << "Entered OptionalUpdate state";
}

} // namespace States
