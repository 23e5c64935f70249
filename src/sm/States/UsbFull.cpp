#include "States/UsbFull.h"

#include "Log.h"

namespace States {

UsbFull::UsbFull(my_context context)
    : my_base(context)
{
    LOG(Info) << "Entered UsbFull state";
}

} // namespace States
