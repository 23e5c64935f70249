#include "UsbStorage.h"

#include "Log.h"

#include <stdexcept>

UsbStorage& UsbStorage::Instance()
{
    static UsbStorage storage;
    return storage;
}

UsbStorage::UsbStorage()
{
    Clear();
}

void UsbStorage::Clear()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    LOG(Debug) << "Removing all usbs";
    m_usbs.clear();
    for (auto& set : m_byState)
        set.clear();
    m_selected = nullptr;
}

bool UsbStorage::IsEmpty() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_usbs.empty();
}

UsbInfo UsbStorage::GetSelectedUsb() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_selected ? *m_selected : UsbInfo();
}

UsbInfo UsbStorage::GetUsb(UsbInfo::Id id) const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    const auto found = m_usbs.find(id);
    return found != m_usbs.end() ? found->second : UsbInfo();
}

UsbStorage::Usbs UsbStorage::GetUsbs(UsbInfo::State state) const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    if (!IsSupported(state))
        throw std::logic_error("Failed to get usbs: usb state is not supported");
    Usbs usbs;
    for (const UsbInfo* usb : m_byState[state])
        usbs.emplace(usb->id, *usb);
    return usbs;
}

void UsbStorage::UpdateUsb(UsbInfo usb)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    if (!IsSupported(usb.state))
        throw std::logic_error("Failed to update usb: usb state is not supported");
    UsbInfo& stored = m_usbs[usb.id];
    for (auto& set : m_byState)
        set.erase(&stored);
    m_byState[usb.state].insert(&stored);
    if (usb.selected) {
        if (m_selected && m_selected != &stored)
            m_selected->selected = false;
        m_selected = &stored;
    }
    stored = usb;
}

bool UsbStorage::UpdateUsbSpace(UsbInfo::Id id, std::uint64_t totalSpace, std::uint64_t availableSpace)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    const auto found = m_usbs.find(id);
    if (found == m_usbs.end())
        return false;
    found->second.totalSpace = totalSpace;
    found->second.availableSpace = availableSpace;
    return true;
}

void UsbStorage::RemoveUsb(UsbInfo::Id id)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    LOG(Debug) << "Removing usb: " << id;
    const auto found = m_usbs.find(id);
    if (found == m_usbs.end())
        throw std::logic_error("Failed to remove usb: usb is not found");
    UsbInfo* usb = &found->second;
    for (auto& set : m_byState)
        set.erase(usb);
    if (m_selected == usb)
        m_selected = nullptr;
    m_usbs.erase(found);
}

bool UsbStorage::IsSupported(UsbInfo::State state)
{
    return state == UsbInfo::InvalidMetadata || state == UsbInfo::NoMetadata || state == UsbInfo::ValidMetadata;
}
