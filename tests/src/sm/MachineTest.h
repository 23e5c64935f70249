#pragma once

#include "LogCapture.h"

#include "Events.h"
#include "MapDownloader.h"
#include "MapStorage.h"
#include "StateMachine.h"
#include "States/MapUpdateCheck.h"
#include "UsbStorage.h"

#include <QtTest/QTest>

#include <boost/core/demangle.hpp>

#include <gtest/gtest.h>

// What the machine did to its collaborators, in order, one entry per call:
// "SetState MapUpdateCheck", "CheckMapUpdates", "DownloadMap EU", "quit", ...
using Journal = std::vector<std::string>;
inline Journal journal;
inline const Journal NewCheck = {"SetState MapUpdateCheck", "CheckMapUpdates"};
inline const Journal Rechecked = {"UpdateUsbs", NewCheck[0], NewCheck[1]};
inline const Journal Removed = {"UpdateUsbs", "SetState UsbRemoved", NewCheck[0], NewCheck[1]};
inline const Journal RootShown = {"SetState RootUpdate", "StartUsbDiscovery"};

template <class Item> std::vector<Item> operator+(std::vector<Item> list, const std::vector<Item>& more)
{
    list.insert(list.end(), more.begin(), more.end());
    return list;
}

class FakeUi : public Ui::IUi {
public:
    ~FakeUi() override { journal.push_back("delete " + name); }
    void Activate() override { journal.push_back("Activate"); }
    void SetState(Ui::State state) override
    {
        journal.push_back("SetState " + ::testing::PrintToString(state));
        if (nested)
            std::exchange(nested, nullptr)();
    }
    void UpdateUsbs() override { journal.push_back("UpdateUsbs"); }
    void ConfirmQuit() override { journal.push_back("ConfirmQuit"); }
    std::string name;
    // Runs once from inside the next SetState, i.e. while the machine processes an event.
    std::function<void()> nested;
};

// Either manager, reached by name as the machine reaches both: signals a test emits, slots that record their calls.
class FakeManager : public QObject {
    Q_OBJECT
public:
    ~FakeManager() override { journal.push_back("delete " + name); }
    Q_INVOKABLE void StartUsbDiscovery() { journal.push_back("StartUsbDiscovery"); }
    Q_INVOKABLE void RediscoverUsb(UsbInfo::Id usbId) { journal.push_back("RediscoverUsb " + std::to_string(usbId)); }
    std::string name;
signals:
    void UsbCheckStarted();
    void UsbCheckComplete(UsbInfo::Id usbId);
    void UsbRemoved(UsbInfo::Id usbId);
    void RootUpdatesChecked(MetadataChecker::Result result);
    void RelatedUpdatesChecked(MetadataChecker::Result result);
    void OperationStarted();
    void OperationFinished(MapDownloader::Result result);
    void CheckStarted();
public slots:
    void CheckMapUpdates() { journal.push_back("CheckMapUpdates"), emit CheckStarted(); }
    void UpdateLocale() { journal.push_back("UpdateLocale"); }
    void DownloadMap(MapInfo::Id mapId) { journal.push_back("DownloadMap " + mapId); }
    void AbortMapDownload() { journal.push_back("AbortMapDownload"); }
    void Stop() { journal.push_back("Stop " + name); }
};

// Its slots can be put out of reach of calls by name, as a slot renamed behind the check at start would be.
struct Fake : FakeManager {
    const QMetaObject* metaObject() const override
    {
        return reachable ? &staticMetaObject : &QObject::staticMetaObject;
    }
    bool reachable = true;
};

template <class Made> auto Maker(Made** made, const char* name = "ui")
{
    return [=] {
        auto fake = std::make_unique<Made>();
        fake->name = name;
        if (made)
            *made = fake.get();
        return fake;
    };
}

// The managers stay on the GUI thread, and so do the questions to sticks' roots, so that the journal holds the calls
// in the order the machine makes them.
inline const auto FakeCollaborators = [](FakeUi** ui = nullptr, Fake** usb = nullptr, Fake** maps = nullptr) {
    return Collaborators {Maker(ui), Maker(usb, "usb manager"), Maker(maps, "map update manager"),
        [] { journal.push_back("quit"); }, false, RootWatch::Answers, false};
};

inline const auto ActiveLeaf = [](const StateMachine& machine) {
    const std::string name = machine.terminated() ? "" : boost::core::demangle(typeid(*machine.state_begin()).name());
    return name.substr(name.rfind(':') + 1);
};

class MachineTest;
using Step = std::function<void(MachineTest&)>;
using Way = std::vector<Step>;

// The machine on the fakes with the real stick registry and map catalogue, which the tests seed. The ways below
// select stick 1 (with valid metadata; RootUpdate: without) and offer and download the map "EU".
class MachineTest : public ::testing::Test {
public:
    MachineTest() { Start(); }
    // No path of these tests may make the machine refuse an event, unless it says so.
    ~MachineTest() override
    {
        machine.reset();
        EXPECT_EQ(log.Count(Log::Error, "Refused"), refusals);
    }
    // A fresh machine, started: in MapUpdateCheck, its first check asked for.
    void Start(const std::function<void(Collaborators&)>& adapt = {})
    {
        machine.reset();
        holding = false, journal.clear();
        UsbStorage::Instance().Clear(), MapStorage::Instance().Clear();
        Collaborators collaborators = FakeCollaborators(&ui, &usb, &maps);
        if (adapt)
            adapt(collaborators);
        machine = std::make_unique<StateMachine>(collaborators);
        machine->initiate();
        // The guard reports this only instance once the loop runs.
        EXPECT_TRUE(QTest::qWaitFor([this] { return machine->state_cast<const States::MapUpdateCheck*>(); }));
        Pump();
    }
    // Then taken along the way, with an empty journal.
    void Restart(const Way& way) { Start(), Do(way), Take(); }
    void Do(const Way& way)
    {
        for (const Step& step : way)
            step(*this);
    }
    // Each case: a fresh machine along its way, then the acts; the leaf it ends in and what was asked meanwhile.
    struct Case {
        Way way, act;
        const char* leaf;
        Journal effects;
    };
    void Run(const std::vector<Case>& cases)
    {
        for (const Case& row : cases) {
            SCOPED_TRACE(&row - cases.data());
            Restart(row.way);
            Do(row.act);
            EXPECT_EQ(row.leaf, ActiveLeaf(*machine));
            EXPECT_EQ(row.effects, Take());
        }
    }
    Journal Take() { return Pump(), std::exchange(journal, {}); }
    void Pump()
    {
        for (int round = 0; round < 4 && !holding; ++round)
            QCoreApplication::processEvents();
    }

    LogCapture log;
    FakeUi* ui = nullptr;
    Fake *usb = nullptr, *maps = nullptr;
    std::unique_ptr<StateMachine> machine;
    // While set, the fakes' signals stay queued, so they arrive behind the requests the machine makes meanwhile, as
    // a manager's results do that it sent before those requests reached it.
    bool holding = false;
    int refusals = 0;
};

inline const auto AddUsb = [](UsbInfo::Id id, UsbInfo::State state, bool selected = false, std::wstring root = {}) {
    root = root.empty() ? L"/media/stick" + std::to_wstring(id) : root;
    UsbStorage::Instance().UpdateUsb({id, root, 1000, 1000, state, selected});
};
inline const auto AddMap = [](const MapInfo::Id& id, MapInfo::Type type, MapInfo::State state = MapInfo::Available) {
    MapInfo map;
    map.id = id, map.type = type, map.state = state;
    MapStorage::Instance().UpdateMap(map);
};
inline const auto Selected = [] { return UsbStorage::Instance().GetSelectedUsb(); };

// Steps: the managers' reports, emitted by both fakes (the machine listens to each on one of them) and delivered
// unless held; the user's signals (processed at once); seeds.
namespace On {
inline const auto Emits = [](auto signal, auto... args) -> Step {
    return [=](MachineTest& test) { (test.usb->*signal)(args...), (test.maps->*signal)(args...), test.Pump(); };
};
inline const auto User
    = [](auto signal, auto... args) -> Step { return [=](MachineTest& test) { (test.ui->*signal)(args...); }; };
inline const auto Root = [](MetadataChecker::Result result) { return Emits(&Fake::RootUpdatesChecked, result); };
inline const auto Related = [](MetadataChecker::Result result) { return Emits(&Fake::RelatedUpdatesChecked, result); };
inline const auto Finished = [](MapDownloader::Result result) { return Emits(&Fake::OperationFinished, result); };
inline const auto Pull = [](UsbInfo::Id id) { return Emits(&Fake::UsbRemoved, id); };
inline const Step Started = Emits(&Fake::OperationStarted);
inline const Step CheckStarted = Emits(&Fake::UsbCheckStarted);
inline const auto Map
    = [](MapInfo::Type type, MapInfo::Id id = "EU") -> Step { return [=](MachineTest&) { AddMap(id, type); }; };
inline const auto Stick
    = [](UsbInfo::Id id, UsbInfo::State state) -> Step { return [=](MachineTest&) { AddUsb(id, state); }; };
inline const auto Checked = [](UsbInfo::Id id, UsbInfo::State state) -> Step {
    return [=](MachineTest& test) { test.Do({Stick(id, state), Emits(&Fake::UsbCheckComplete, id)}); };
};
inline const auto Insert = [](UsbInfo::Id id, UsbInfo::State state) -> Step {
    return [=](MachineTest& test) { test.Do({CheckStarted, Checked(id, state)}); };
};
// The manager marks the map before it reports the start of an operation.
inline const auto Mark = [](MapInfo::State state) -> Step {
    return [=](MachineTest&) { AddMap("EU", MapStorage::Instance().FindMap("EU").type, state); };
};
inline const auto Selects = [](UsbInfo::Id id) -> Step { return [=](MachineTest&) { EXPECT_EQ(id, Selected().id); }; };
inline const Step SelectValid = [](MachineTest&) { AddUsb(1, UsbInfo::ValidMetadata, true); };
inline const Step SelectWithout = [](MachineTest&) { AddUsb(1, UsbInfo::NoMetadata, true); };
inline const Step Retry = User(&Ui::IUi::Retry);
} // namespace On

inline const Way ToRoot = {On::Map(MapInfo::Optional), On::Root(MetadataChecker::Ok)};
inline const auto Offer = [](MapInfo::Type type, MetadataChecker::Result result = MetadataChecker::Ok) {
    return Way {On::SelectValid, On::Map(type), On::Related(result)};
};
inline const Way ToOptional = Offer(MapInfo::Optional);
inline const Way Download
    = {On::User(&Ui::IUi::DownloadMap, MapInfo::Id("EU")), On::Mark(MapInfo::Downloading), On::Started};
inline const Way Cancel = {On::User(&Ui::IUi::CancelDownload), On::Mark(MapInfo::Deleting), On::Started};
inline const Way Downloading = ToOptional + Download;
inline const Way Interrupted = Downloading + Way {On::Finished(MapDownloader::NoConnection)};

using namespace On;
using T = MachineTest;
using M = MetadataChecker;
using D = MapDownloader;
