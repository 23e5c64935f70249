#include "States/UsbTooSmall.h"

#include "Log.h"

namespace States {

UsbTooSmall::UsbTooSmall(my_context context)
    : my_base(context)
{
    LOG(Info) << "Entered UsbTooSmall state";
}

} // namespace States
