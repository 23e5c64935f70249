#pragma once

#include <cstdint>
#include <string>

// A mounted removable disk with media on the USB bus, as the USB device it hangs off describes it.
struct UsbDisk {
    std::uint16_t vendorId = 0;
    std::uint16_t productId = 0;
    std::string serial; // the device's serial number, or its USB port path when it has none
    std::string mountPoint; // where its file system (or its first mounted partition) is mounted
};
