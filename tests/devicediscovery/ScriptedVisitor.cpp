#include "ScriptedVisitor.h"

void ScriptedVisitor::Script::SetPresent(std::vector<DeviceDiscovery::DeviceProperties> devices)
{
    const std::lock_guard<std::mutex> lock(m_mutex);
    m_present = std::move(devices);
}

std::vector<DeviceDiscovery::DeviceProperties> ScriptedVisitor::Script::Present()
{
    const std::lock_guard<std::mutex> lock(m_mutex);
    return m_present;
}

ScriptedVisitor::ScriptedVisitor(std::shared_ptr<Script> script)
    : m_script(std::move(script))
{
}

ScriptedVisitor::~ScriptedVisitor()
{
    m_script->destroyed = true;
}

void ScriptedVisitor::visit(std::vector<DeviceDiscovery::DeviceProperties>& devices, bool)
{
    ++m_script->visits;
    if (m_script->holdVisits) {
        m_script->visitEntered.release();
        m_script->visitResumed.acquire();
    }
    devices = m_script->Present();
}

void ScriptedVisitor::cleanup()
{
    ++m_script->cleanups;
}

DeviceDiscovery::DeviceProperties ScriptedVisitor::Device(std::uint64_t uid)
{
    DeviceDiscovery::DeviceProperties device;
    device.uid = uid;
    device.path = "/media/stick" + std::to_string(uid);
    return device;
}
