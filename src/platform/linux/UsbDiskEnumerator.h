#pragma once

#include "MountInfo.h"
#include "UsbDisk.h"

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

// Lists the mounted removable USB disks from sysfs and the mount table. Both roots can be moved (tests
// fabricate them): TESSALY_SYSFS_ROOT (default "/sys") and TESSALY_MOUNTINFO (default "/proc/self/mountinfo").
class UsbDiskEnumerator {
public:
    UsbDiskEnumerator(std::filesystem::path sysfsRoot, std::string mountInfoPath);
    // An enumerator over the roots that the environment names at this moment.
    static UsbDiskEnumerator FromEnvironment();

    // The qualifying disks in block-name order (sdb before sdc before sdaa); disks that are not removable,
    // not on USB, without media or not mounted are left out.
    std::vector<UsbDisk> Enumerate() const;

private:
    std::optional<UsbDisk> Inspect(const std::filesystem::path& blockDir, const MountInfo& mounts) const;
    std::filesystem::path FindUsbDevice(const std::filesystem::path& blockDir) const;
    static std::string FindMountPoint(const std::filesystem::path& blockDir, const MountInfo& mounts);

    std::filesystem::path m_sysfsRoot;
    std::string m_mountInfoPath;
};
