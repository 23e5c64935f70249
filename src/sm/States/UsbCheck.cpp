#include "States/UsbCheck.h"

#include "Log.h"

namespace States {

UsbCheck::UsbCheck(my_context context)
    : my_base(context)
{
    LOG(Info) << "Entered UsbCheck state";
}

} // namespace States
