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

// The active leaf's name, e.g. "OptionalUpdate"; empty once terminated.
std::string ActiveLeaf(const StateMachine& machine);

// The machine with fake collaborators on the GUI thread and the real stick
// registry and map catalogue, which the tests seed. Stick 1 is the stick the
// ways below select; the map "EU" is the one they offer and download.
class MachineTest : public ::testing::Test {
public:
    using Way = std::vector<std::function<void(MachineTest&)>>;

    MachineTest();
    ~MachineTest() override;

    // A fresh machine, started (in MapUpdateCheck, its first check asked for).
    void Restart();
    // A fresh machine taken along the way, with an empty journal.
    void Restart(const Way& way);
    void Stop();

    // Delivers the queued signals and invocations.
    static void Pump();
    // What the collaborators were asked since the last call.
    Journal Take();
    // The active leaf's name, e.g. "OptionalUpdate"; empty once terminated.
    std::string Leaf() const;

    // The registry and the catalogue.
    static void AddUsb(UsbInfo::Id id, UsbInfo::State state, bool selected = false);
    static void AddMap(const MapInfo::Id& id, MapInfo::Type type, MapInfo::State state = MapInfo::Available);
    static void SetMapState(const MapInfo::Id& id, MapInfo::State state);
    static UsbInfo Selected();

    // The managers' reports, each delivered.
    void Root(MetadataChecker::Result result);
    void Related(MetadataChecker::Result result);
    void OperationStarted();
    void Finished(MapDownloader::Result result);
    // A stick found and verified: the check's start, its record, its end.
    void Insert(UsbInfo::Id id, UsbInfo::State state);
    void CheckStarted();
    void Checked(UsbInfo::Id id, UsbInfo::State state);
    void Pull(UsbInfo::Id id);

    // Raises a signal of the user interface (direct: processed at once).
    template <class Signal, class... Args> void User(Signal signal, Args... args) { (ui->*signal)(args...); }
    // Calls one of Common's slots as a queued delivery would.
    void Deliver(const char* slot, QGenericArgument argument);

    // Steps of a way into a leaf. The offers select stick 1 with valid
    // metadata (RootUpdate: without); downloads start on "EU".
    static void SelectValid(MachineTest& test);
    static void ToRoot(MachineTest& test);
    static void ToOptional(MachineTest& test);
    static void ToMandatory(MachineTest& test);
    static void ToUpToDate(MachineTest& test);
    static void ToExpired(MachineTest& test);
    static void Download(MachineTest& test);
    static void Cancel(MachineTest& test);

    LogCapture log;
    std::shared_ptr<Journal> journal = std::make_shared<Journal>();
    FakeUi* ui = nullptr;
    FakeUsbManager* usb = nullptr;
    FakeMapUpdateManager* maps = nullptr;
    std::unique_ptr<StateMachine> machine;
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
