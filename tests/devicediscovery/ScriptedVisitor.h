#pragma once

#include "DeviceDiscoveryImpl/PlatformVisitor.h"

#include <QSemaphore>

#include <atomic>
#include <memory>
#include <mutex>

// A visitor that reports whatever the test put on its script; the script outlives the visitor, which the
// worker owns.
class ScriptedVisitor : public DeviceDiscoveryImpl::PlatformVisitor {
public:
    struct Script {
        void SetPresent(std::vector<DeviceDiscovery::DeviceProperties> devices);
        std::vector<DeviceDiscovery::DeviceProperties> Present();

        std::atomic<int> visits {0};
        std::atomic<int> cleanups {0};
        std::atomic<bool> destroyed {false};
        // While set, each visit announces itself on visitEntered and waits for visitResumed.
        std::atomic<bool> holdVisits {false};
        QSemaphore visitEntered;
        QSemaphore visitResumed;

    private:
        std::mutex m_mutex;
        std::vector<DeviceDiscovery::DeviceProperties> m_present;
    };

    explicit ScriptedVisitor(std::shared_ptr<Script> script);
    ~ScriptedVisitor() override;

    void visit(std::vector<DeviceDiscovery::DeviceProperties>& devices, bool wait) override;
    void cleanup() override;

    // A device with the given uid; the path tells devices apart in failure messages.
    static DeviceDiscovery::DeviceProperties Device(std::uint64_t uid);

private:
    std::shared_ptr<Script> m_script;
};
