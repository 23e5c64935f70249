#include "States/NetworkOperation.h"

#include "Log.h"

namespace States {

NetworkOperation::NetworkOperation(my_context context)
    : my_base(context)
{
    LOG(Info) << "Entered NetworkOperation state";
}

} // namespace States
