#include "States/MetadataCorrupt.h"

#include "Log.h"

namespace States {

MetadataCorrupt::MetadataCorrupt(my_context context)
    : my_base(context)
{
    LOG(Info) << "Entered MetadataCorrupt state";
}

} // namespace States
