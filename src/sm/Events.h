#pragma once

#include "MapInfo.h"

#include <boost/statechart/event.hpp>

// Everything that moves the application's state machine. Each event is raised
// on the GUI thread and processed at once; only DownloadMap and the three
// metadata events carry data.
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

// How a metadata event came about: a check's result, or a stick's
// verification that made the verified stick the selected one or kept the
// selection as it was (the event then carries the selected stick's state).
// Only a verification that changed the selection may start a new check.
enum class Origin { Check, Selected, Kept };

template <class Event> struct MetadataEvent : boost::statechart::event<Event> {
    explicit MetadataEvent(Origin from = Origin::Check)
        : origin(from)
    {
    }
    Origin origin;
};

// Sticks: found, verified, removed.
struct UsbInsert : boost::statechart::event<UsbInsert> { };
struct ValidMetadata : MetadataEvent<ValidMetadata> {
    using MetadataEvent::MetadataEvent;
};
struct InvalidMetadata : MetadataEvent<InvalidMetadata> {
    using MetadataEvent::MetadataEvent;
};
struct NoMetadata : MetadataEvent<NoMetadata> {
    using MetadataEvent::MetadataEvent;
};
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

// The machine could not hand a request to the map update manager, so no
// answer will come for it.
struct InvocationFailed : boost::statechart::event<InvocationFailed> { };

} // namespace Events
