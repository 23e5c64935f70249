#include "States/UsbBlocked.h"

#include "Log.h"

namespace States {

UsbBlocked::UsbBlocked(my_context context)
    : my_base(context)
{
    LOG(Info) << "Entered UsbBlocked state";
}

} // namespace States
