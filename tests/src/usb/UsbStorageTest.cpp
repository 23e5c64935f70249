#include "UsbStorage.h"

#include <gtest/gtest.h>

#include <functional>
#include <sstream>
#include <stdexcept>
#include <tuple>

namespace {

UsbInfo Stick(UsbInfo::Id id, UsbInfo::State state, bool selected = false)
{
    return {id, L"/media/stick" + std::to_wstring(id), 1000 * id, 100 * id, state, selected};
}

auto Fields(const UsbInfo& usb)
{
    return std::make_tuple(usb.id, usb.path, usb.totalSpace, usb.availableSpace, usb.state, usb.selected);
}

class UsbStorageTest : public ::testing::Test {
protected:
    void SetUp() override { storage.Clear(); }

    // The ids listed under each state, in state order.
    std::string Lists() const
    {
        std::ostringstream out;
        for (auto state : {UsbInfo::InvalidMetadata, UsbInfo::NoMetadata, UsbInfo::ValidMetadata}) {
            out << state << ":";
            for (UsbInfo::Id id = 1; id <= 3; ++id)
                out << (storage.GetUsbs(state).count(id) ? std::to_string(id) : "");
            out << " ";
        }
        return out.str();
    }

    UsbStorage& storage = UsbStorage::Instance();
};

} // namespace

TEST_F(UsbStorageTest, EmptyRegistryGivesDefaultRecords)
{
    EXPECT_TRUE(storage.IsEmpty());
    EXPECT_EQ(Fields(storage.GetSelectedUsb()), Fields(UsbInfo()));
    EXPECT_EQ(Fields(storage.GetUsb(7)), Fields(UsbInfo()));
    EXPECT_FALSE(UsbInfo().IsValid());
    EXPECT_EQ(Lists(), "InvalidMetadata: NoMetadata: ValidMetadata: ");
}

TEST_F(UsbStorageTest, RecordsFollowTheirStateAndTheSelectionFollowsTheFlag)
{
    storage.UpdateUsb(Stick(1, UsbInfo::ValidMetadata, true));
    storage.UpdateUsb(Stick(2, UsbInfo::ValidMetadata));
    storage.UpdateUsb(Stick(1, UsbInfo::NoMetadata, true));
    EXPECT_EQ(Lists(), "InvalidMetadata: NoMetadata:1 ValidMetadata:2 ");
    EXPECT_EQ(Fields(storage.GetSelectedUsb()), Fields(Stick(1, UsbInfo::NoMetadata, true)));

    storage.UpdateUsb(Stick(2, UsbInfo::InvalidMetadata, true));
    EXPECT_EQ(storage.GetSelectedUsb().id, 2u);
    EXPECT_FALSE(storage.GetUsb(1).selected);
    EXPECT_FALSE(storage.GetUsbs(UsbInfo::NoMetadata).at(1).selected);

    // Without the flag the selection stays; the stored flag is what was given.
    storage.UpdateUsb(Stick(2, UsbInfo::ValidMetadata));
    EXPECT_EQ(Fields(storage.GetSelectedUsb()), Fields(Stick(2, UsbInfo::ValidMetadata)));

    storage.RemoveUsb(2);
    EXPECT_FALSE(storage.GetSelectedUsb().IsValid());
    EXPECT_EQ(Lists(), "InvalidMetadata: NoMetadata:1 ValidMetadata: ");
}

TEST_F(UsbStorageTest, InvalidRequestsThrowAndChangeNothing)
{
    storage.UpdateUsb(Stick(1, UsbInfo::ValidMetadata, true));
    const auto expectError = [](const std::function<void()>& operation, const std::string& message) {
        try {
            operation();
            ADD_FAILURE() << "no error, expected: " << message;
        } catch (const std::logic_error& e) {
            EXPECT_EQ(e.what(), message);
        }
    };
    expectError([this] { storage.RemoveUsb(9); }, "Failed to remove usb: usb is not found");
    expectError(
        [this] { storage.GetUsbs(static_cast<UsbInfo::State>(3)); }, "Failed to get usbs: usb state is not supported");
    expectError([this] { storage.UpdateUsb(Stick(2, static_cast<UsbInfo::State>(-1))); },
        "Failed to update usb: usb state is not supported");
    EXPECT_EQ(storage.GetSelectedUsb().id, 1u);
    EXPECT_EQ(Lists(), "InvalidMetadata: NoMetadata: ValidMetadata:1 ");
}

TEST_F(UsbStorageTest, SpaceUpdateChangesOnlyTheSpaceOfAnExistingRecord)
{
    storage.UpdateUsb(Stick(1, UsbInfo::ValidMetadata, true));
    storage.UpdateUsb(Stick(2, UsbInfo::InvalidMetadata));
    EXPECT_TRUE(storage.UpdateUsbSpace(2, 77, 7));
    EXPECT_EQ(Fields(storage.GetUsb(2)), Fields({2, L"/media/stick2", 77, 7, UsbInfo::InvalidMetadata, false}));
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
