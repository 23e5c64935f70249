#pragma once

#include "MapInfo.h"

#include <boost/statechart/event.hpp>

// Everything that moves the application's state machine. Each event is raised
// on the GUI thread and processed at once; only DownloadMap carries data.
namespace Events {

// The single-instance guard's reports.
struct StartUp : boost::statechart::event<StartUp> { };
struct Activate : boost::statechart::event<Activate> { };

// The user's actions.
struct LocaleUpdate : boost::statechart::event<LocaleUpdate> { };
struct DownloadMap : boost::statechart::event<DownloadMap> {
    explicit DownloadMap(const MapInfo::Id& id)
        : mapId(id)
    {
    }
    MapInfo::Id mapId;
};
struct CancelDownload : boost::statechart::event<CancelDownload> { };
struct Retry : boost::statechart::event<Retry> { };
struct Quit : boost::statechart::event<Quit> { };

// Sticks: found, verified, removed.
struct UsbInsert : boost::statechart::event<UsbInsert> { };
struct ValidMetadata : boost::statechart::event<ValidMetadata> { };
struct InvalidMetadata : boost::statechart::event<InvalidMetadata> { };
struct NoMetadata : boost::statechart::event<NoMetadata> { };
struct UsbRemove : boost::statechart::event<UsbRemove> { };

// Results of an update check.
struct RootUpdate : boost::statechart::event<RootUpdate> { };
struct MandatoryUpdate : boost::statechart::event<MandatoryUpdate> { };
struct OptionalUpdate : boost::statechart::event<OptionalUpdate> { };
struct UpToDate : boost::statechart::event<UpToDate> { };
struct NoConnection : boost::statechart::event<NoConnection> { };
struct ServerError : boost::statechart::event<ServerError> { };
struct NoSubscription : boost::statechart::event<NoSubscription> { };
struct SubscriptionExpired : boost::statechart::event<SubscriptionExpired> { };

// Progress and results of a map operation.
struct MapDownloadStarted : boost::statechart::event<MapDownloadStarted> { };
struct MapDeletionStarted : boost::statechart::event<MapDeletionStarted> { };
struct FinishDownload : boost::statechart::event<FinishDownload> { };
struct UsbBlocked : boost::statechart::event<UsbBlocked> { };
struct UsbFull : boost::statechart::event<UsbFull> { };
struct UsbTooSmall : boost::statechart::event<UsbTooSmall> { };

} // namespace Events
