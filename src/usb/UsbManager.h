#pragma once

#include "StickVerifier.h"
#include "UsbInfo.h"

#include "DeviceDiscovery.h"

#include <QObject>
#include <QTimer>

#include <boost/filesystem/operations.hpp>

#include <atomic>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>

// Turns device discovery into verified stick records: checks every arriving
// stick against its checksum list, measures its space, stores it in
// UsbStorage and reports by signals. Refreshes the selected stick's space
// every second. Lives on a thread of its own, where arrivals and removals are
// handled one after another; a check runs in short turns of that thread's
// event loop, so that Stop is never kept waiting for a whole stick.
class UsbManager : public QObject {
    Q_OBJECT

public:
    // Capacity and available space of the file system holding a path;
    // throws boost::filesystem::filesystem_error on failure.
    using SpaceQuery = std::function<boost::filesystem::space_info(const boost::filesystem::path&)>;

    // Tests pass their own space query; the program uses the file system's.
    explicit UsbManager(QObject* parent = nullptr, SpaceQuery spaceQuery = {});
    ~UsbManager() override;

    // Called once discovery is wanted (directly, by name); a second call only warns.
    Q_INVOKABLE void StartUsbDiscovery();

signals:
    void UsbCheckStarted();
    void UsbCheckComplete(UsbInfo::Id usbId);
    void UsbRemoved(UsbInfo::Id usbId);

public slots:
    void MassStorageCome(DeviceDiscovery::DeviceProperties properties);
    void MassStorageGo(uint64_t deviceUid);
    void UpdateUsbSpace();
    // A stick taken out while discovery still lists it, whose root answers
    // again: discovery reports it anew at its next poll, and it is checked as
    // a newly inserted one is.
    void RediscoverUsb(UsbInfo::Id usbId);
    // Must run on the manager's own thread before it quits: stops discovery,
    // the space refresh and a stick check under way (at its next step), so
    // nothing is left to run or to be torn down from another thread.
    // Afterwards the manager emits nothing and ignores every slot.
    void Stop();

private:
    // An arrival to check or a removal to report, in the order they came.
    struct Job {
        DeviceDiscovery::DeviceProperties properties;
        bool removal = false;
    };

    void Enqueue(Job job);
    void ScheduleTurn();
    void Turn();
    void BeginCheck(const DeviceDiscovery::DeviceProperties& properties);
    void ContinueCheck();
    void FinishCheck(UsbInfo::State state);
    void MeasureSpace(UsbInfo& usb) const;

    std::unique_ptr<DeviceDiscovery::DiscoveryNotifier> m_notifier;
    SpaceQuery m_spaceQuery;
    QTimer m_spaceTimer {this};
    std::deque<Job> m_jobs;
    bool m_turnScheduled = false;
    // The stick being checked and its check; no verifier between checks.
    UsbInfo m_checking;
    boost::filesystem::path m_checkRoot;
    std::unique_ptr<StickVerifier> m_verifier;
    std::atomic<bool> m_stopped {false};
};
