#include "States/MapUpdateCheck.h"

#include "Log.h"

namespace States {

MapUpdateCheck::MapUpdateCheck(my_context context)
    : my_base(context)
{
    LOG(Info) << "Entered MapUpdateCheck state";
}

} // namespace States
