#include "States/PendingUpdate.h"

#include "Log.h"

namespace States {

PendingUpdate::PendingUpdate(my_context context)
    : my_base(context)
{
    LOG(Info) << "Entered PendingUpdate state";
}

} // namespace States
