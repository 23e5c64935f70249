#include "States/MandatoryUpdate.h"

#include "Log.h"

namespace States {

MandatoryUpdate::MandatoryUpdate(my_context context)
    : my_base(context)
{
    LOG(Info) << "Entered MandatoryUpdate state";
}

} // namespace States
