#pragma once

#include "DeviceDiscoveryImpl/Callbacks.h"
#include "DeviceDiscoveryImpl/PlatformVisitor.h"

#include <QSemaphore>

#include <atomic>
#include <memory>
#include <mutex>

// Reports the uids the test put on its script; the script outlives the visitor, which the worker owns, and records
// the discovery's callbacks as "arrival <uid>", "removal <uid>" and "no device", from any thread.
class ScriptedVisitor : public DeviceDiscoveryImpl::PlatformVisitor {
public:
    struct Script {
        void SetPresent(const std::vector<std::uint64_t>& uids)
        {
            const std::lock_guard<std::mutex> lock(mutex);
            present.clear();
            for (const std::uint64_t uid : uids)
                present.push_back({uid, 0, 0, 0, "", "/media/stick" + std::to_string(uid)});
        }
        DeviceDiscoveryImpl::Callbacks Callbacks()
        {
            return {[this](const DeviceDiscovery::DeviceProperties& d) { Record("arrival " + std::to_string(d.uid)); },
                [this](std::uint64_t uid) { Record("removal " + std::to_string(uid)); },
                [this] { Record("no device"); }};
        }
        std::vector<std::string> Events()
        {
            const std::lock_guard<std::mutex> lock(mutex);
            return events;
        }
        void Record(const std::string& event)
        {
            const std::lock_guard<std::mutex> lock(mutex);
            events.push_back(event);
        }

        std::atomic<int> visits {0}, cleanups {0};
        std::atomic<bool> destroyed {false};
        // While set, each visit announces itself on visitEntered and waits for visitResumed.
        std::atomic<bool> holdVisits {false};
        QSemaphore visitEntered, visitResumed;
        std::mutex mutex;
        std::vector<DeviceDiscovery::DeviceProperties> present;
        std::vector<std::string> events;
    };

    explicit ScriptedVisitor(std::shared_ptr<Script> script)
        : m_script(std::move(script))
    {
    }
    ~ScriptedVisitor() override { m_script->destroyed = true; }

    void visit(std::vector<DeviceDiscovery::DeviceProperties>& devices, bool) override
    {
        ++m_script->visits;
        if (m_script->holdVisits)
            m_script->visitEntered.release(), m_script->visitResumed.acquire();
        const std::lock_guard<std::mutex> lock(m_script->mutex);
        devices = m_script->present;
    }
    void cleanup() override { ++m_script->cleanups; }

private:
    std::shared_ptr<Script> m_script;
};
