#include "States/ServerError.h"

#include "Log.h"

namespace States {

ServerError::ServerError(my_context context)
    : my_base(context)
{
    LOG(Info) << "Entered ServerError state";
}

} // namespace States
