#include "UsbDiskEnumerator.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <fstream>

namespace fs = std::filesystem;

namespace {

std::string EnvironmentOr(const char* name, const char* fallback)
{
    const char* value = std::getenv(name);
    return value && *value ? value : fallback;
}

bool IsSpace(char c)
{
    return std::isspace(static_cast<unsigned char>(c)) != 0;
}

// A sysfs attribute is one line; its surrounding white space (the final newline, padding of some serial
// numbers) is no part of the value. A missing file gives an empty text.
std::string ReadAttribute(const fs::path& file)
{
    std::ifstream in(file);
    std::string line;
    std::getline(in, line);
    const auto first = std::find_if_not(line.begin(), line.end(), IsSpace);
    const auto last = std::find_if_not(line.rbegin(), line.rend(), IsSpace).base();
    return first < last ? std::string(first, last) : std::string();
}

std::optional<std::uint16_t> ParseHex16(const std::string& text)
{
    const bool valid = !text.empty() && text.size() <= 4 && std::all_of(text.begin(), text.end(), [](char c) {
        return std::isxdigit(static_cast<unsigned char>(c)) != 0;
    });
    if (!valid)
        return std::nullopt;
    return static_cast<std::uint16_t>(std::stoul(text, nullptr, 16));
}

// The size attribute counts 512-byte sectors; a reader slot without a card reports 0.
bool HasMedia(const std::string& size)
{
    return !size.empty() && std::all_of(size.begin(), size.end(), [](char c) {
        return std::isdigit(static_cast<unsigned char>(c)) != 0;
    }) && size.find_first_not_of('0') != std::string::npos;
}

// Kernel names count up with a growing suffix: sdb, sdc, ..., sdz, sdaa and sdb1, ..., sdb9, sdb10.
bool NameOrder(const fs::path& a, const fs::path& b)
{
    const std::string x = a.filename().string();
    const std::string y = b.filename().string();
    return x.size() != y.size() ? x.size() < y.size() : x < y;
}

// The entries of a folder whose names begin with (and are longer than) the prefix, in name order.
std::vector<fs::path> Children(const fs::path& dir, const std::string& prefix)
{
    std::vector<fs::path> children;
    std::error_code error;
    for (fs::directory_iterator it(dir, error), end; !error && it != end; it.increment(error)) {
        const std::string name = it->path().filename().string();
        if (name.size() > prefix.size() && name.compare(0, prefix.size(), prefix) == 0)
            children.push_back(it->path());
    }
    std::sort(children.begin(), children.end(), NameOrder);
    return children;
}

bool IsBelow(const fs::path& dir, const fs::path& root)
{
    const fs::path relative = dir.lexically_relative(root);
    return !relative.empty() && relative != "." && *relative.begin() != "..";
}

} // namespace

UsbDiskEnumerator::UsbDiskEnumerator(fs::path sysfsRoot, std::string mountInfoPath)
    : m_sysfsRoot(std::move(sysfsRoot))
    , m_mountInfoPath(std::move(mountInfoPath))
{
}

UsbDiskEnumerator UsbDiskEnumerator::FromEnvironment()
{
    return UsbDiskEnumerator(
        EnvironmentOr("TESSALY_SYSFS_ROOT", "/sys"), EnvironmentOr("TESSALY_MOUNTINFO", "/proc/self/mountinfo"));
}

std::vector<UsbDisk> UsbDiskEnumerator::Enumerate() const
{
    const MountInfo mounts = MountInfo::Read(m_mountInfoPath);
    std::vector<UsbDisk> disks;
    for (const fs::path& blockDir : Children(m_sysfsRoot / "block", std::string())) {
        if (const std::optional<UsbDisk> disk = Inspect(blockDir, mounts))
            disks.push_back(*disk);
    }
    return disks;
}

std::optional<UsbDisk> UsbDiskEnumerator::Inspect(const fs::path& blockDir, const MountInfo& mounts) const
{
    if (ReadAttribute(blockDir / "removable") != "1" || !HasMedia(ReadAttribute(blockDir / "size")))
        return std::nullopt;
    const fs::path usbDevice = FindUsbDevice(blockDir);
    if (usbDevice.empty())
        return std::nullopt;
    const std::optional<std::uint16_t> vendorId = ParseHex16(ReadAttribute(usbDevice / "idVendor"));
    const std::optional<std::uint16_t> productId = ParseHex16(ReadAttribute(usbDevice / "idProduct"));
    if (!vendorId || !productId)
        return std::nullopt;
    UsbDisk disk;
    disk.vendorId = *vendorId;
    disk.productId = *productId;
    disk.serial = ReadAttribute(usbDevice / "serial");
    if (disk.serial.empty())
        disk.serial = usbDevice.filename().string(); // the port path, e.g. "1-2.3", stays put while plugged
    disk.mountPoint = FindMountPoint(blockDir, mounts);
    if (disk.mountPoint.empty())
        return std::nullopt;
    return disk;
}

// The block link leads into the device hierarchy; the USB device is the nearest folder above the disk that
// carries idVendor and idProduct (the interface and SCSI folders between them do not).
fs::path UsbDiskEnumerator::FindUsbDevice(const fs::path& blockDir) const
{
    std::error_code error;
    const fs::path root = fs::canonical(m_sysfsRoot, error);
    fs::path dir = fs::canonical(blockDir, error);
    if (error)
        return {};
    for (; IsBelow(dir, root); dir = dir.parent_path()) {
        if (fs::exists(dir / "idVendor", error) && fs::exists(dir / "idProduct", error))
            return dir;
    }
    return {};
}

// A stick formatted without a partition table is mounted as a whole; otherwise its first mounted partition
// counts.
std::string UsbDiskEnumerator::FindMountPoint(const fs::path& blockDir, const MountInfo& mounts)
{
    std::string mountPoint = mounts.MountPoint(ReadAttribute(blockDir / "dev"));
    for (const fs::path& partition : Children(blockDir, blockDir.filename().string())) {
        if (!mountPoint.empty())
            break;
        mountPoint = mounts.MountPoint(ReadAttribute(partition / "dev"));
    }
    return mountPoint;
}
