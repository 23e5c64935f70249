#include "States/MapUpdateCheck.h"

#include "States/MandatoryUpdate.h"
#include "States/MetadataCorrupt.h"
#include "States/NoSubscription.h"
#include "States/OptionalUpdate.h"
#include "States/RootUpdate.h"
#include "States/ServerError.h"
#include "States/SubscriptionExpired.h"
#include "States/UpToDate.h"

#include "Log.h"
#include "UsbStorage.h"

namespace States {

MapUpdateCheck::MapUpdateCheck(my_context ctx)
    : my_base(ctx)
{
    LOG(Info) << "Entered MapUpdateCheck state";
    context<Common>().SetUiState(Ui::State::MapUpdateCheck);
    context<Common>().CheckMapUpdates();
}

boost::statechart::result MapUpdateCheck::react(const Events::InvalidMetadata& event)
{
    if (event.origin == Events::Origin::Kept)
        return discard_event();
    LOG(Info) << "Got InvalidMetadata event: switching to MetadataCorrupt state";
    return transit<MetadataCorrupt>();
}

boost::statechart::result MapUpdateCheck::react(const Events::NoMetadata& event)
{
    if (event.origin == Events::Origin::Kept)
        return discard_event();
    LOG(Info) << "Got NoMetadata event: switching to RootUpdate state";
    // With no stick selected there is no record to mark, and storing the default
    // one would make up a stick.
    UsbInfo selected = UsbStorage::Instance().GetSelectedUsb();
    if (selected.IsValid()) {
        selected.state = UsbInfo::NoMetadata;
        UsbStorage::Instance().UpdateUsb(selected);
    }
    return transit<MapUpdateCheck>();
}

boost::statechart::result MapUpdateCheck::react(const Events::ValidMetadata& event)
{
    if (event.origin != Events::Origin::Selected)
        return discard_event();
    LOG(Info) << "Got ValidMetadata event: switching to MapUpdateCheck state";
    return transit<MapUpdateCheck>();
}

boost::statechart::result MapUpdateCheck::react(const Events::ServerError&)
{
    LOG(Info) << "Got ServerError event: switching to ServerError state";
    return transit<ServerError>();
}

boost::statechart::result MapUpdateCheck::react(const Events::NoSubscription&)
{
    LOG(Info) << "Got NoSubscription event: switching to NoSubscription state";
    return transit<NoSubscription>();
}

boost::statechart::result MapUpdateCheck::react(const Events::SubscriptionExpired&)
{
    LOG(Info) << "Got SubscriptionExpired event: switching to SubscriptionExpired state";
    return transit<SubscriptionExpired>();
}

boost::statechart::result MapUpdateCheck::react(const Events::RootUpdate&)
{
    LOG(Info) << "Got RootUpdate event: switching to RootUpdate state";
    return transit<RootUpdate>();
}

boost::statechart::result MapUpdateCheck::react(const Events::UpToDate&)
{
    LOG(Info) << "Got UpToDate event: switching to UpToDate state";
    return transit<UpToDate>();
}

boost::statechart::result MapUpdateCheck::react(const Events::OptionalUpdate&)
{
    LOG(Info) << "Got OptionalUpdate event: switching to OptionalUpdate state";
    return transit<OptionalUpdate>();
}

boost::statechart::result MapUpdateCheck::react(const Events::MandatoryUpdate&)
{
    LOG(Info) << "Got MandatoryUpdate event: switching to MandatoryUpdate state";
    return transit<MandatoryUpdate>();
}

boost::statechart::result MapUpdateCheck::react(const Events::Quit&)
{
    context<Common>().QuitOrConfirm();
    return discard_event();
}

} // namespace States
