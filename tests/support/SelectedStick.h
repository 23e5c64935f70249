#pragma once

#include "UsbStorage.h"

// Puts a selected 16 GB stick with 9 GB free into the stick registry, as discovery and the stick check would.
inline void SelectStick(UsbInfo::State state = UsbInfo::ValidMetadata)
{
    UsbInfo stick;
    stick.id = 7;
    stick.path = L"/media/stick";
    stick.totalSpace = 16'000'000'000;
    stick.availableSpace = 9'000'000'000;
    stick.state = state;
    stick.selected = true;
    UsbStorage::Instance().UpdateUsb(stick);
}
