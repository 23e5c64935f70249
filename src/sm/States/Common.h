#pragma once

#include "Events.h"
#include "StateMachine.h"

#include "IUi.h"
#include "MapDownloader.h"
#include "MetadataChecker.h"
#include "RootWatch.h"
#include "UsbInfo.h"

#include <QObject>
#include <QThread>

#include <boost/mpl/list.hpp>
#include <boost/statechart/custom_reaction.hpp>
#include <boost/statechart/state.hpp>

#include <functional>
#include <initializer_list>
#include <memory>
#include <optional>

namespace States {

class NetworkOperation;

// The running application: entered once on start-up, left only when the
// machine terminates. It makes the user interface and the two managers, turns
// their signals into events and is the states' door to them.
class Common : public QObject, public boost::statechart::state<Common, StateMachine, NetworkOperation> {
    Q_OBJECT

public:
    using reactions = boost::mpl::list<boost::statechart::custom_reaction<Events::Activate>,
        boost::statechart::custom_reaction<Events::LocaleUpdate>, boost::statechart::custom_reaction<Events::Quit>>;

    // Where UsbCheck came from, so that it can go back there.
    enum class UsbCheckOrigin { RootUpdate, NoConnection };

    explicit Common(my_context ctx);
    // Stops the managers and their threads, then deletes the managers and the
    // user interface. While a manager finishes its work on a stick, the user
    // interface goes first; a thread held by a stick that does not answer is
    // left running, and the collaborators are told.
    ~Common() override;

    boost::statechart::result react(const Events::Activate&);
    boost::statechart::result react(const Events::LocaleUpdate&);
    boost::statechart::result react(const Events::Quit&);

    // What the states do to the user interface and the map update manager.
    void SetUiState(Ui::State state);
    void ConfirmQuit();
    void CheckMapUpdates();
    void DownloadMap(const MapInfo::Id& mapId);
    void AbortMapDownload();

    // Quits at once (logged), as the reaction to Quit does.
    void QuitNow();
    // Asks while a stick is selected, else quits at once.
    void QuitOrConfirm();
    // A removal during a map operation (not a check) shows the removed stick.
    void ShowUsbRemovedDuringMapOperation();
    // Whether Retry has a download to resume.
    static bool HasDownloadToResume();
    // Selects the first stick found in the first of the states that has one;
    // false when there is none.
    static bool SelectFirstUsb(std::initializer_list<UsbInfo::State> states);

    void SetUsbCheckOrigin(UsbCheckOrigin origin) { usbCheckOrigin = origin; }
    UsbCheckOrigin GetUsbCheckOrigin() const { return usbCheckOrigin; }

private slots:
    void OnUsbCheckStarted();
    void OnCheckStarted();
    void OnUsbChecked(UsbInfo::Id usbId);
    void OnUsbRemoved(UsbInfo::Id usbId);
    void OnRootUpdates(MetadataChecker::Result result);
    void OnRelatedUpdates(MetadataChecker::Result result);
    void OnMapOperationStarted();
    void OnMapOperationFinished(MapDownloader::Result result);

private:
    void Make(const Collaborators& collaborators);
    void ConnectUi();
    void ConnectManagers();
    void MoveToThreads();
    void Leave(std::unique_ptr<QObject>& manager, std::unique_ptr<QThread>& thread);
    void Raise(const boost::statechart::event_base& event);
    void RaiseMetadata(UsbInfo::State state, Events::Origin origin);
    void RaiseOffer();
    bool IsStaleCheckResult(MetadataChecker::Result result) const;
    void TakeOut(const UsbInfo& usb);
    void ConfirmRemoval();
    void TakeOutVanished(UsbInfo::Id usbId, const boost::filesystem::path& root);
    void RediscoverUsb(UsbInfo::Id usbId);
    // Asks the map update manager for work whose answer the machine waits
    // for; one that cannot be asked fails the work at once.
    bool Request(const char* method, QGenericArgument argument = QGenericArgument());
    static bool Invoke(
        QObject* manager, const char* method, Qt::ConnectionType type, QGenericArgument argument = QGenericArgument());
    static bool SelectsNewUsb(UsbInfo::State state);

    std::function<void()> quit;
    std::function<void()> threadLeft;
    bool managersOnThreads = true;
    std::unique_ptr<Ui::IUi> ui;
    std::unique_ptr<QObject> usbManager;
    std::unique_ptr<QObject> fullMapUpdateManager;
    std::unique_ptr<QThread> usbThread;
    std::unique_ptr<QThread> managerThread;
    UsbCheckOrigin usbCheckOrigin = UsbCheckOrigin::RootUpdate;
    // Checks asked for that the manager has not taken yet. Its signals keep
    // their order, so until it has taken the last one every check result it
    // sends belongs to an earlier check.
    int checksNotTaken = 0;
    // Roots of sticks a manager found gone, and of those taken out because
    // their root was gone before discovery told.
    std::unique_ptr<RootWatch> roots;
    // The stick whose root is being asked, before its removal is raised.
    std::optional<UsbInfo::Id> removalAsked;
};

} // namespace States
