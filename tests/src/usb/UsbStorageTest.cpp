#include "UsbStorage.h"

#include <gtest/gtest.h>

#include <functional>
#include <sstream>
#include <stdexcept>

namespace {

UsbInfo Stick(UsbInfo::Id id, UsbInfo::State state, bool selected = false)
{
    UsbInfo usb;
    usb.id = id;
    usb.path = L"/media/stick" + std::to_wstring(id);
    usb.totalSpace = 1000 * id;
    usb.availableSpace = 100 * id;
    usb.state = state;
    usb.selected = selected;
    return usb;
}

class UsbStorageTest : public ::testing::Test {
protected:
    void SetUp() override { storage.Clear(); }

    bool Lists(UsbInfo::State state, UsbInfo::Id id) const { return storage.GetUsbs(state).count(id) == 1; }

    UsbStorage& storage = UsbStorage::Instance();
};

void ExpectDefault(const UsbInfo& usb)
{
    EXPECT_FALSE(usb.IsValid());
    EXPECT_EQ(usb.id, 0u);
    EXPECT_TRUE(usb.path.empty());
    EXPECT_EQ(usb.totalSpace, 0u);
    EXPECT_EQ(usb.availableSpace, 0u);
    EXPECT_EQ(usb.state, UsbInfo::NoMetadata);
    EXPECT_FALSE(usb.selected);
}

void ExpectLogicError(const std::function<void()>& operation, const std::string& message)
{
    try {
        operation();
        ADD_FAILURE() << "no error, expected: " << message;
    } catch (const std::logic_error& e) {
        EXPECT_EQ(e.what(), message);
    }
}

} // namespace

TEST_F(UsbStorageTest, EmptyRegistryGivesDefaultRecordsAndEmptyStateLists)
{
    EXPECT_TRUE(storage.IsEmpty());
    ExpectDefault(storage.GetSelectedUsb());
    ExpectDefault(storage.GetUsb(7));
    for (auto state : {UsbInfo::InvalidMetadata, UsbInfo::NoMetadata, UsbInfo::ValidMetadata})
        EXPECT_TRUE(storage.GetUsbs(state).empty());
}

TEST_F(UsbStorageTest, StateChangeMovesTheRecordBetweenStateLists)
{
    storage.UpdateUsb(Stick(1, UsbInfo::ValidMetadata));
    EXPECT_TRUE(Lists(UsbInfo::ValidMetadata, 1));

    storage.UpdateUsb(Stick(1, UsbInfo::NoMetadata));
    EXPECT_TRUE(Lists(UsbInfo::NoMetadata, 1));
    EXPECT_FALSE(Lists(UsbInfo::ValidMetadata, 1));
    EXPECT_FALSE(Lists(UsbInfo::InvalidMetadata, 1));
    EXPECT_EQ(storage.GetUsb(1).state, UsbInfo::NoMetadata);
    EXPECT_EQ(storage.GetUsb(1).totalSpace, 1000u);
    EXPECT_FALSE(storage.IsEmpty());
}

TEST_F(UsbStorageTest, SelectingAnotherStickDeselectsThePreviousOne)
{
    storage.UpdateUsb(Stick(1, UsbInfo::ValidMetadata, true));
    storage.UpdateUsb(Stick(2, UsbInfo::NoMetadata));
    EXPECT_EQ(storage.GetSelectedUsb().id, 1u);

    storage.UpdateUsb(Stick(2, UsbInfo::NoMetadata, true));
    EXPECT_EQ(storage.GetSelectedUsb().id, 2u);
    EXPECT_TRUE(storage.GetSelectedUsb().selected);
    EXPECT_FALSE(storage.GetUsb(1).selected);
    EXPECT_FALSE(storage.GetUsbs(UsbInfo::ValidMetadata).at(1).selected);
}

TEST_F(UsbStorageTest, UpdateWithoutSelectedFlagKeepsTheSelection)
{
    storage.UpdateUsb(Stick(1, UsbInfo::ValidMetadata, true));
    storage.UpdateUsb(Stick(2, UsbInfo::ValidMetadata));
    storage.UpdateUsb(Stick(1, UsbInfo::InvalidMetadata));

    const UsbInfo selected = storage.GetSelectedUsb();
    EXPECT_EQ(selected.id, 1u);
    EXPECT_EQ(selected.state, UsbInfo::InvalidMetadata);
    EXPECT_FALSE(selected.selected);
}

TEST_F(UsbStorageTest, RemovingTheSelectedStickLeavesNoSelection)
{
    storage.UpdateUsb(Stick(1, UsbInfo::ValidMetadata, true));
    storage.UpdateUsb(Stick(2, UsbInfo::ValidMetadata));
    storage.RemoveUsb(1);

    ExpectDefault(storage.GetSelectedUsb());
    ExpectDefault(storage.GetUsb(1));
    EXPECT_EQ(storage.GetUsbs(UsbInfo::ValidMetadata).size(), 1u);
    EXPECT_TRUE(Lists(UsbInfo::ValidMetadata, 2));
}

TEST_F(UsbStorageTest, InvalidRequestsThrowAndLeaveTheRegistryUnchanged)
{
    storage.UpdateUsb(Stick(1, UsbInfo::ValidMetadata, true));

    ExpectLogicError([this] { storage.RemoveUsb(9); }, "Failed to remove usb: usb is not found");
    ExpectLogicError(
        [this] { storage.GetUsbs(static_cast<UsbInfo::State>(3)); }, "Failed to get usbs: usb state is not supported");
    ExpectLogicError([this] { storage.UpdateUsb(Stick(2, static_cast<UsbInfo::State>(-1))); },
        "Failed to update usb: usb state is not supported");

    EXPECT_EQ(storage.GetSelectedUsb().id, 1u);
    EXPECT_TRUE(Lists(UsbInfo::ValidMetadata, 1));
    EXPECT_FALSE(storage.GetUsb(2).IsValid());
}

TEST_F(UsbStorageTest, SpaceUpdateTouchesOnlyTheSpaceOfAnExistingRecord)
{
    storage.UpdateUsb(Stick(1, UsbInfo::ValidMetadata, true));
    storage.UpdateUsb(Stick(2, UsbInfo::InvalidMetadata));

    EXPECT_TRUE(storage.UpdateUsbSpace(2, 77, 7));
    const UsbInfo updated = storage.GetUsb(2);
    EXPECT_EQ(updated.totalSpace, 77u);
    EXPECT_EQ(updated.availableSpace, 7u);
    EXPECT_EQ(updated.state, UsbInfo::InvalidMetadata);
    EXPECT_EQ(storage.GetSelectedUsb().id, 1u);

    storage.RemoveUsb(1);
    EXPECT_FALSE(storage.UpdateUsbSpace(1, 5, 5));
    EXPECT_FALSE(storage.GetUsb(1).IsValid());
    EXPECT_FALSE(storage.GetSelectedUsb().IsValid());
}

TEST(UsbInfoTest, StatePrinterNamesEachStateAndNothingElse)
{
    std::ostringstream out;
    out << UsbInfo::InvalidMetadata << "," << UsbInfo::NoMetadata << "," << UsbInfo::ValidMetadata << ","
        << static_cast<UsbInfo::State>(5);
    EXPECT_EQ(out.str(), "InvalidMetadata,NoMetadata,ValidMetadata,");
}
