#pragma once

#include "UsbStorage.h"

// Puts a selected 16 GB stick with 9 GB free into the stick registry, as discovery and the stick check would.
inline void SelectStick(UsbInfo::State state = UsbInfo::ValidMetadata)
{
    UsbStorage::Instance().UpdateUsb(UsbInfo {7, L"/media/stick", 16'000'000'000, 9'000'000'000, state, true});
}
