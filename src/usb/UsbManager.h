#pragma once

#include "UsbInfo.h"

#include "DeviceDiscovery.h"

#include <QObject>

#include <boost/filesystem/operations.hpp>

#include <cstdint>
#include <functional>
#include <memory>

// Turns device discovery into verified stick records: checks every arriving
// stick against its checksum list, measures its space, stores it in
// UsbStorage and reports by signals. Refreshes the selected stick's space
// every second. Lives on a thread of its own, so checks run one after another.
class UsbManager : public QObject {
    Q_OBJECT

public:
    // Capacity and available space of the file system holding a path;
    // throws boost::filesystem::filesystem_error on failure.
    using SpaceQuery = std::function<boost::filesystem::space_info(const boost::filesystem::path&)>;

    // Tests pass their own space query; the program uses the file system's.
    explicit UsbManager(QObject* parent = nullptr, SpaceQuery spaceQuery = {});
    ~UsbManager() override;

    // Called once discovery is wanted; a second call only warns.
    void StartUsbDiscovery();

signals:
    void UsbCheckStarted();
    void UsbCheckComplete(UsbInfo::Id usbId);
    void UsbRemoved(UsbInfo::Id usbId);

public slots:
    void MassStorageCome(DeviceDiscovery::DeviceProperties properties);
    void MassStorageGo(uint64_t deviceUid);
    void UpdateUsbSpace();

private:
    void CheckUsb(const DeviceDiscovery::DeviceProperties& properties);
    static UsbInfo::State CheckMetadata(const boost::filesystem::path& root);
    void MeasureSpace(const boost::filesystem::path& root, UsbInfo& usb) const;

    std::unique_ptr<DeviceDiscovery::DiscoveryNotifier> m_notifier;
    SpaceQuery m_spaceQuery;
};
