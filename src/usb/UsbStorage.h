#pragma once

#include "UsbInfo.h"

#include <array>
#include <cstdint>
#include <mutex>
#include <unordered_map>
#include <unordered_set>

// The process-wide registry of known sticks and the one selected stick.
// Shared by the GUI, USB and map update threads: every operation holds the
// mutex for its whole duration and hands out copies only.
class UsbStorage {
public:
    using Usbs = std::unordered_map<UsbInfo::Id, UsbInfo>;

    static UsbStorage& Instance();

    UsbStorage(const UsbStorage&) = delete;
    UsbStorage& operator=(const UsbStorage&) = delete;

    void Clear();
    bool IsEmpty() const;

    // The default record (UsbInfo::IsValid false) when none is selected or the id is unknown.
    UsbInfo GetSelectedUsb() const;
    UsbInfo GetUsb(UsbInfo::Id id) const;

    // Copies of every record in the given state; throws std::logic_error for any other value.
    Usbs GetUsbs(UsbInfo::State state) const;

    // Inserts or updates the record with usb.id. A record with `selected` set
    // becomes the selected one; one without it leaves the selection alone.
    // Throws std::logic_error for a state outside the enumeration.
    void UpdateUsb(UsbInfo usb);

    // Changes only the two space figures of an existing record; returns false
    // (and stores nothing) when the id is unknown. Used by the periodic space
    // refresh, which must neither bring back a removed stick nor undo a change
    // of state or selection made meanwhile.
    bool UpdateUsbSpace(UsbInfo::Id id, std::uint64_t totalSpace, std::uint64_t availableSpace);

    // Throws std::logic_error when the id is unknown.
    void RemoveUsb(UsbInfo::Id id);

private:
    UsbStorage();

    static bool IsSupported(UsbInfo::State state);

    Usbs m_usbs;
    mutable std::mutex m_mutex;
    // One set per state, indexed by the state's value.
    std::array<std::unordered_set<UsbInfo*>, 3> m_byState;
    UsbInfo* m_selected = nullptr;
};
