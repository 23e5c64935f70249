#include "States/UpToDate.h"

#include "Log.h"

namespace States {

UpToDate::UpToDate(my_context context)
    : my_base(context)
{
    LOG(Info) << "Entered UpToDate state";
}

} // namespace States
