#pragma once

#include "Fakes.h"
#include "LogCapture.h"

#include "MapInfo.h"
#include "StateMachine.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

// What a new check shows and asks for, after the removed-stick screen or not.
inline const Journal NewCheck = {"SetState MapUpdateCheck", "CheckMapUpdates"};
inline const Journal RemovedAndNewCheck = {"SetState UsbRemoved", "SetState MapUpdateCheck", "CheckMapUpdates"};

// The active leaf's name, e.g. "OptionalUpdate"; empty once terminated.
std::string ActiveLeaf(const StateMachine& machine);

// The machine with fake collaborators on the GUI thread and the real stick
// registry and map catalogue, which the tests seed. Stick 1 is the stick the
// ways below select; the map "EU" is the one they offer and download.
class MachineTest : public ::testing::Test {
public:
    using Way = std::vector<std::function<void(MachineTest&)>>;

    MachineTest() { Restart(); }
    ~MachineTest() override;

    // A fresh machine, started (in MapUpdateCheck, its first check asked for).
    void Restart();
    // A fresh machine taken along the way, with an empty journal.
    void Restart(const Way& way);
    void Stop() { machine.reset(); }

    // Delivers the queued signals and invocations.
    static void Pump();
    // Between the two the fakes' signals stay queued, so they arrive behind the
    // requests the machine makes meanwhile, as a manager's results do that it
    // sent before those requests reached it.
    void Hold() { holding = true; }
    void Release()
    {
        holding = false;
        Pump();
    }
    // What the collaborators were asked since the last call.
    Journal Take();
    std::string Leaf() const { return ActiveLeaf(*machine); }

    // The registry and the catalogue.
    static void AddUsb(UsbInfo::Id id, UsbInfo::State state, bool selected = false);
    static void AddMap(const MapInfo::Id& id, MapInfo::Type type, MapInfo::State state = MapInfo::Available);
    static void SetMapState(const MapInfo::Id& id, MapInfo::State state);
    static UsbInfo Selected();

    // The managers' reports, each delivered.
    void Root(MetadataChecker::Result result) { Emit(maps, &FakeMapUpdateManager::RootUpdatesChecked, result); }
    void Related(MetadataChecker::Result result) { Emit(maps, &FakeMapUpdateManager::RelatedUpdatesChecked, result); }
    void OperationStarted() { Emit(maps, &FakeMapUpdateManager::OperationStarted); }
    void Finished(MapDownloader::Result result) { Emit(maps, &FakeMapUpdateManager::OperationFinished, result); }
    void CheckStarted() { Emit(usb, &FakeUsbManager::UsbCheckStarted); }
    void Checked(UsbInfo::Id id, UsbInfo::State state);
    void Pull(UsbInfo::Id id) { Emit(usb, &FakeUsbManager::UsbRemoved, id); }
    // A stick found and verified: the check's start, its record, its end.
    void Insert(UsbInfo::Id id, UsbInfo::State state)
    {
        CheckStarted();
        Checked(id, state);
    }

    // Raises a signal of the user interface (direct: processed at once).
    template <class Signal, class... Args> void User(Signal signal, Args... args) { (ui->*signal)(args...); }
    // Calls one of Common's slots as a queued delivery would.
    void Deliver(const char* slot, QGenericArgument argument);

    // Steps of a way into a leaf. The offers select stick 1 with valid
    // metadata (RootUpdate: without); downloads start on "EU".
    static void SelectValid(MachineTest&) { AddUsb(1, UsbInfo::ValidMetadata, true); }
    static void ToRoot(MachineTest& test);
    static void ToOptional(MachineTest& test) { test.Offer(MapInfo::Optional); }
    static void ToMandatory(MachineTest& test) { test.Offer(MapInfo::Mandatory); }
    static void ToUpToDate(MachineTest& test) { test.Offer(MapInfo::Installed); }
    static void ToExpired(MachineTest& test) { test.Offer(MapInfo::Installed, MetadataChecker::SubscriptionExpired); }
    static void Download(MachineTest& test);
    static void Cancel(MachineTest& test);

    LogCapture log;
    std::shared_ptr<Journal> journal = std::make_shared<Journal>();
    FakeUi* ui = nullptr;
    FakeUsbManager* usb = nullptr;
    ReachableMapUpdateManager* maps = nullptr;
    std::unique_ptr<StateMachine> machine;

private:
    template <class Fake, class Signal, class... Args> void Emit(Fake* fake, Signal signal, Args... args)
    {
        emit(fake->*signal)(args...);
        if (!holding)
            Pump();
    }
    // Stick 1 selected with valid metadata, "EU" of that type in the catalogue, the related check's result.
    void Offer(MapInfo::Type type, MetadataChecker::Result result = MetadataChecker::Ok);

    bool holding = false;
};

// Way steps that end in a manager's report.
template <MetadataChecker::Result result> void RelatedResult(MachineTest& test)
{
    test.Related(result);
}
template <MapDownloader::Result result> void OperationResult(MachineTest& test)
{
    test.Finished(result);
}
