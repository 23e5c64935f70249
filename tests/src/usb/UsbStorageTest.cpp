#include "UsbStorage.h"

#include <gtest/gtest.h>

#include <stdexcept>

namespace {

UsbInfo Stick(UsbInfo::Id id, UsbInfo::State state, bool selected = false)
{
    return {id, L"/media/stick" + std::to_wstring(id), 1000 * id, 100 * id, state, selected};
}

// The ids listed under each state, in state order.
std::string Lists(const UsbStorage& storage)
{
    std::string out;
    for (auto state : {UsbInfo::InvalidMetadata, UsbInfo::NoMetadata, UsbInfo::ValidMetadata}) {
        out += "|";
        for (const auto& entry : storage.GetUsbs(state))
            out += std::to_string(entry.first);
    }
    return out;
}

} // namespace

TEST(UsbStorageTest, RecordsFollowTheirStateAndTheSelectionFollowsTheFlag)
{
    UsbStorage& storage = UsbStorage::Instance();
    storage.Clear();
    storage.UpdateUsb(Stick(1, UsbInfo::ValidMetadata, true));
    storage.UpdateUsb(Stick(2, UsbInfo::ValidMetadata));
    storage.UpdateUsb(Stick(1, UsbInfo::NoMetadata, true));
    EXPECT_EQ(Lists(storage), "||1|2");
    EXPECT_EQ(storage.GetSelectedUsb().state, UsbInfo::NoMetadata);

    storage.UpdateUsb(Stick(2, UsbInfo::InvalidMetadata, true));
    storage.UpdateUsb(Stick(2, UsbInfo::InvalidMetadata)); // without the flag the selection stays
    EXPECT_EQ(storage.GetSelectedUsb().id, 2u);
    EXPECT_FALSE(storage.GetUsbs(UsbInfo::NoMetadata).at(1).selected);

    EXPECT_THROW(storage.UpdateUsb(Stick(3, static_cast<UsbInfo::State>(3))), std::logic_error);
    EXPECT_THROW(storage.RemoveUsb(9), std::logic_error);
    storage.RemoveUsb(2);
    EXPECT_FALSE(storage.GetSelectedUsb().IsValid());
    EXPECT_FALSE(storage.UpdateUsbSpace(2, 5, 5)) << "a space update never brings a record back";
    EXPECT_EQ(Lists(storage), "||1|");
}
