#include "MachineTest.h"

#include "MapStorage.h"
#include "States/Common.h"
#include "States/MapUpdateCheck.h"
#include "UsbStorage.h"

#include <QCoreApplication>
#include <QtTest/QTest>

#include <boost/core/demangle.hpp>

#include <typeinfo>

// No path of these tests may make the machine refuse an event.
MachineTest::~MachineTest()
{
    Stop();
    EXPECT_EQ(log.Count(Log::Error, "Refused"), 0);
}

void MachineTest::Restart()
{
    Stop();
    holding = false;
    UsbStorage::Instance().Clear();
    MapStorage::Instance().Clear();
    journal->clear();
    Collaborators collaborators = FakeCollaborators(journal, &ui, &usb, &maps);
    collaborators.quit = [this] { journal->push_back("quit"); };
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

void MachineTest::Pump()
{
    for (int round = 0; round < 4; ++round)
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

void MachineTest::Checked(UsbInfo::Id id, UsbInfo::State state)
{
    AddUsb(id, state);
    Emit(usb, &FakeUsbManager::UsbCheckComplete, id);
}

void MachineTest::Deliver(const char* slot, QGenericArgument argument)
{
    auto& common = const_cast<States::Common&>(machine->state_cast<const States::Common&>());
    QMetaObject::invokeMethod(&common, slot, Qt::DirectConnection, argument);
}

void MachineTest::ToRoot(MachineTest& test)
{
    AddMap("EU", MapInfo::Optional);
    test.Root(MetadataChecker::Ok);
}

void MachineTest::Offer(MapInfo::Type type, MetadataChecker::Result result)
{
    SelectValid(*this);
    AddMap("EU", type);
    Related(result);
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
