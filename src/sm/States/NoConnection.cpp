#include "States/NoConnection.h"

#include "Log.h"

namespace States {

NoConnection::NoConnection(my_context context)
    : my_base(context)
{
    LOG(Info) << "Entered NoConnection state";
}

} // namespace States
