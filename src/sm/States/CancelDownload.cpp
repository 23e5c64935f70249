#include "States/CancelDownload.h"

#include "Log.h"

namespace States {

CancelDownload::CancelDownload(my_context context)
    : my_base(context)
{
    LOG(Info) << "Entered CancelDownload state";
}

} // namespace States
