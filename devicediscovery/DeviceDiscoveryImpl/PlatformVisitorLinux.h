#pragma once

#include "DeviceDiscoveryImpl/DiscoveryConfig.h"
#include "DeviceDiscoveryImpl/PlatformVisitor.h"

#include <memory>

namespace DeviceDiscoveryImpl {

// Lists the mounted removable USB disks that the config's filters accept; the mount point stands for the
// drive's path.
class PlatformVisitorLinux : public PlatformVisitor {
public:
    explicit PlatformVisitorLinux(std::unique_ptr<DiscoveryConfig> config);

    void visit(std::vector<DeviceDiscovery::DeviceProperties>& devices, bool wait) override;

private:
    std::unique_ptr<DiscoveryConfig> m_config;
};

} // namespace DeviceDiscoveryImpl
