#include "DeviceDiscoveryImpl/PlatformVisitorLinux.h"

#include "UsbDiskEnumerator.h"

#include <QThread>

namespace DeviceDiscoveryImpl {

PlatformVisitorLinux::PlatformVisitorLinux(std::unique_ptr<DiscoveryConfig> config)
    : m_config(std::move(config))
{
}

void PlatformVisitorLinux::visit(std::vector<DeviceDiscovery::DeviceProperties>& devices, bool wait)
{
    if (wait)
        QThread::msleep(1000);
    if (!m_config->acceptsDeviceType(DeviceDiscovery::MassStorage))
        return;
    for (const UsbDisk& disk : UsbDiskEnumerator::FromEnvironment().Enumerate()) {
        if (!m_config->acceptsVendorId(disk.vendorId) || !m_config->acceptsProductId(disk.productId))
            continue;
        DeviceDiscovery::DeviceProperties device;
        // The product id fills both halves, as drive identifiers always have: a uid only has to stay the
        // same while its stick stays plugged in, and it is never stored.
        device.uid = uid(disk.productId, disk.productId, disk.serial);
        device.productId = disk.productId;
        device.vendorId = disk.vendorId;
        device.serial = disk.serial;
        device.path = disk.mountPoint;
        devices.push_back(device);
    }
}

} // namespace DeviceDiscoveryImpl
