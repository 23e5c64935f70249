#include "MachineTest.h"

#include "MapStorage.h"
#include "States/Common.h"
#include "States/MapUpdateCheck.h"
#include "UsbStorage.h"

#include <QCoreApplication>
#include <QtTest/QTest>

#include <boost/core/demangle.hpp>

#include <typeinfo>

MachineTest::MachineTest()
{
    Restart();
}

// No path of these tests may make the machine refuse an event.
MachineTest::~MachineTest()
{
    Stop();
    EXPECT_EQ(log.Count(Log::Error, "Refused"), 0);
}

void MachineTest::Restart()
{
    Stop();
    UsbStorage::Instance().Clear();
    MapStorage::Instance().Clear();
    journal->clear();
    Collaborators collaborators;
    collaborators.makeUi = [this] {
        auto made = std::make_unique<FakeUi>(journal);
        ui = made.get();
        return made;
    };
    collaborators.makeUsbManager = [this] {
        auto made = std::make_unique<FakeUsbManager>(journal);
        usb = made.get();
        return made;
    };
    collaborators.makeMapUpdateManager = [this] {
        auto made = std::make_unique<FakeMapUpdateManager>(journal);
        maps = made.get();
        return made;
    };
    collaborators.quit = [this] { journal->push_back("quit"); };
    collaborators.managersOnThreads = false;
    machine = std::make_unique<StateMachine>(std::move(collaborators));
    machine->initiate();
    // The guard reports this only instance once the loop runs.
    EXPECT_TRUE(QTest::qWaitFor([this] { return machine->state_cast<const States::MapUpdateCheck*>() != nullptr; }));
    Pump();
}

void MachineTest::Restart(const Way& way)
{
    Restart();
    for (const auto& step : way)
        step(*this);
    Take();
}

void MachineTest::Stop()
{
    machine.reset();
    ui = nullptr;
    usb = nullptr;
    maps = nullptr;
}

void MachineTest::Pump()
{
    for (int round = 0; round < 3; ++round)
        QCoreApplication::processEvents();
}

Journal MachineTest::Take()
{
    Pump();
    Journal taken;
    taken.swap(*journal);
    return taken;
}

std::string ActiveLeaf(const StateMachine& machine)
{
    if (machine.terminated())
        return {};
    const std::string name = boost::core::demangle(typeid(*machine.state_begin()).name());
    return name.substr(name.rfind(':') + 1);
}

std::string MachineTest::Leaf() const
{
    return ActiveLeaf(*machine);
}

void MachineTest::AddUsb(UsbInfo::Id id, UsbInfo::State state, bool selected)
{
    UsbStorage::Instance().UpdateUsb({id, L"/media/stick" + std::to_wstring(id), 1000, 1000, state, selected});
}

void MachineTest::AddMap(const MapInfo::Id& id, MapInfo::Type type, MapInfo::State state)
{
    MapInfo map;
    map.id = id;
    map.type = type;
    map.state = state;
    map.release = "2024.05";
    MapStorage::Instance().UpdateMap(map);
}

void MachineTest::SetMapState(const MapInfo::Id& id, MapInfo::State state)
{
    MapInfo map = MapStorage::Instance().FindMap(id);
    map.state = state;
    MapStorage::Instance().UpdateMap(map);
}

UsbInfo MachineTest::Selected()
{
    return UsbStorage::Instance().GetSelectedUsb();
}

void MachineTest::Root(MetadataChecker::Result result)
{
    emit maps->RootUpdatesChecked(result);
    Pump();
}

void MachineTest::Related(MetadataChecker::Result result)
{
    emit maps->RelatedUpdatesChecked(result);
    Pump();
}

void MachineTest::OperationStarted()
{
    emit maps->OperationStarted();
    Pump();
}

void MachineTest::Finished(MapDownloader::Result result)
{
    emit maps->OperationFinished(result);
    Pump();
}

void MachineTest::Insert(UsbInfo::Id id, UsbInfo::State state)
{
    CheckStarted();
    Checked(id, state);
}

void MachineTest::CheckStarted()
{
    emit usb->UsbCheckStarted();
    Pump();
}

void MachineTest::Checked(UsbInfo::Id id, UsbInfo::State state)
{
    AddUsb(id, state);
    emit usb->UsbCheckComplete(id);
    Pump();
}

void MachineTest::Pull(UsbInfo::Id id)
{
    emit usb->UsbRemoved(id);
    Pump();
}

void MachineTest::Deliver(const char* slot, QGenericArgument argument)
{
    auto& common = const_cast<States::Common&>(machine->state_cast<const States::Common&>());
    QMetaObject::invokeMethod(&common, slot, Qt::DirectConnection, argument);
}

void MachineTest::SelectValid(MachineTest& test)
{
    test.AddUsb(1, UsbInfo::ValidMetadata, true);
}

void MachineTest::ToRoot(MachineTest& test)
{
    test.AddMap("EU", MapInfo::Optional);
    test.Root(MetadataChecker::Ok);
}

void MachineTest::ToOptional(MachineTest& test)
{
    SelectValid(test);
    test.AddMap("EU", MapInfo::Optional);
    test.Related(MetadataChecker::Ok);
}

void MachineTest::ToMandatory(MachineTest& test)
{
    SelectValid(test);
    test.AddMap("EU", MapInfo::Mandatory);
    test.Related(MetadataChecker::Ok);
}

void MachineTest::ToUpToDate(MachineTest& test)
{
    SelectValid(test);
    test.AddMap("EU", MapInfo::Installed);
    test.Related(MetadataChecker::Ok);
}

void MachineTest::ToExpired(MachineTest& test)
{
    SelectValid(test);
    test.AddMap("EU", MapInfo::Installed);
    test.Related(MetadataChecker::SubscriptionExpired);
}

// The manager marks the map before it reports the start.
void MachineTest::Download(MachineTest& test)
{
    test.User(&Ui::IUi::DownloadMap, MapInfo::Id("EU"));
    SetMapState("EU", MapInfo::Downloading);
    test.OperationStarted();
}

void MachineTest::Cancel(MachineTest& test)
{
    test.User(&Ui::IUi::CancelDownload);
    SetMapState("EU", MapInfo::Deleting);
    test.OperationStarted();
}
