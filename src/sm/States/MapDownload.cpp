#include "States/MapDownload.h"

#include "Log.h"

namespace States {

MapDownload::MapDownload(my_context context)
    : my_base(context)
{
    LOG(Info) << "Entered MapDownload state";
}

} // namespace States
