#include "States/MapUpdatePresent.h"

#include "Log.h"

namespace States {

MapUpdatePresent::MapUpdatePresent(my_context context)
    : my_base(context)
{
    LOG(Info) << "Entered MapUpdatePresent state";
}

} // namespace States
