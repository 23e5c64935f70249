#include "UsbManager.h"

#include "Log.h"
#include "StickPath.h"
#include "UsbStorage.h"

#include <QElapsedTimer>
#include <QMetaType>

#include <stdexcept>

namespace fs = boost::filesystem;

namespace {

constexpr std::uint16_t DiscoveryIntervalMs = 1000;
constexpr int SpaceRefreshMs = 1000;
// How long a check runs before it lets the thread's other work in.
constexpr qint64 CheckTurnMs = 20;

fs::space_info FileSystemSpace(const fs::path& path)
{
    return fs::space(path);
}

} // namespace

UsbManager::UsbManager(QObject* parent, SpaceQuery spaceQuery)
    : QObject(parent)
    , m_spaceQuery(spaceQuery ? std::move(spaceQuery) : FileSystemSpace)
{
    qRegisterMetaType<UsbInfo::Id>("UsbInfo::Id");
    qRegisterMetaType<uint64_t>("uint64_t");
    qRegisterMetaType<DeviceDiscovery::DeviceProperties>("DeviceDiscovery::DeviceProperties");
    // A child, so that it moves to the manager's thread with the manager.
    m_spaceTimer.setSingleShot(true);
    m_spaceTimer.setTimerType(Qt::PreciseTimer);
    m_spaceTimer.setInterval(SpaceRefreshMs);
    connect(&m_spaceTimer, &QTimer::timeout, this, &UsbManager::UpdateUsbSpace);
    UpdateUsbSpace();
}

UsbManager::~UsbManager()
{
    LOG(Info) << "Stopping USB discovery";
    m_notifier.reset();
}

void UsbManager::StartUsbDiscovery()
{
    if (m_stopped)
        return;
    if (m_notifier) {
        LOG(Warning) << "USB discovery is already in progress";
        return;
    }
    LOG(Info) << "Starting USB discovery";
    auto config = DeviceDiscovery::createConfig();
    config->addDeviceType(DeviceDiscovery::MassStorage);
    // Callbacks run on the discovery thread: they only queue calls to this object's thread.
    config->setArrivalCallback([this](const DeviceDiscovery::DeviceProperties& properties) {
        QMetaObject::invokeMethod(
            this, "MassStorageCome", Qt::QueuedConnection, Q_ARG(const DeviceDiscovery::DeviceProperties&, properties));
    });
    config->setRemovalCallback([this](std::uint64_t uid) {
        QMetaObject::invokeMethod(this, "MassStorageGo", Qt::QueuedConnection, Q_ARG(uint64_t, uid));
    });
    m_notifier = DeviceDiscovery::startDiscovery(std::move(config), DiscoveryIntervalMs);
    // Called from another thread: the notifier joins the manager, which stops it on its own thread.
    if (auto* notifier = dynamic_cast<QObject*>(m_notifier.get()))
        notifier->moveToThread(thread());
}

void UsbManager::Stop()
{
    LOG(Info) << "Stopping USB manager";
    m_stopped = true;
    m_notifier.reset();
    m_spaceTimer.stop();
    m_jobs.clear();
    m_verifier.reset();
}

void UsbManager::MassStorageCome(DeviceDiscovery::DeviceProperties properties)
{
    if (m_stopped)
        return;
    LOG(Debug) << "Detected device: " << properties.uid << " with path: " << properties.path;
    // After this slot returns, and before the check begins.
    QMetaObject::invokeMethod(
        this,
        [this] {
            if (!m_stopped)
                emit UsbCheckStarted();
        },
        Qt::QueuedConnection);
    Enqueue({std::move(properties), false});
}

// Queued behind any check still pending for this stick, so that the removal
// follows the record the check stores.
void UsbManager::MassStorageGo(uint64_t deviceUid)
{
    if (m_stopped)
        return;
    LOG(Debug) << "Device: " << deviceUid << " was removed or disabled";
    DeviceDiscovery::DeviceProperties properties;
    properties.uid = deviceUid;
    Enqueue({std::move(properties), true});
}

void UsbManager::RediscoverUsb(UsbInfo::Id usbId)
{
    if (!m_stopped && m_notifier)
        m_notifier->rediscover(usbId);
}

void UsbManager::Enqueue(Job job)
{
    m_jobs.push_back(std::move(job));
    ScheduleTurn();
}

void UsbManager::ScheduleTurn()
{
    if (m_turnScheduled)
        return;
    m_turnScheduled = true;
    QMetaObject::invokeMethod(
        this, [this] { Turn(); }, Qt::QueuedConnection);
}

// A job begins only at the start of a turn, so every start signal queued
// before it has gone out first; a check then runs for a short while and
// yields the thread until its next turn.
void UsbManager::Turn()
{
    m_turnScheduled = false;
    if (m_stopped)
        return;
    if (!m_verifier && !m_jobs.empty()) {
        Job job = std::move(m_jobs.front());
        m_jobs.pop_front();
        if (job.removal)
            emit UsbRemoved(job.properties.uid);
        else
            BeginCheck(job.properties);
    }
    if (m_verifier)
        ContinueCheck();
    if (m_verifier || !m_jobs.empty())
        ScheduleTurn();
}

void UsbManager::BeginCheck(const DeviceDiscovery::DeviceProperties& properties)
{
    m_checking = UsbInfo();
    m_checking.id = properties.uid;
    m_checking.path = StickPath::ToWide(properties.path);
    LOG(Debug) << "Checking usb: " << properties.path;
    m_checkRoot = properties.path;
    m_verifier = std::make_unique<StickVerifier>(m_checkRoot);
}

void UsbManager::ContinueCheck()
{
    QElapsedTimer turn;
    turn.start();
    try {
        do {
            if (const auto state = m_verifier->Step())
                return FinishCheck(*state);
        } while (!turn.hasExpired(CheckTurnMs));
    } catch (const std::runtime_error& e) {
        // A check that cannot finish still ends, so that nobody waits for it:
        // metadata that could not be verified is not valid.
        LOG(Error) << "File operation failed: " << e.what();
        FinishCheck(UsbInfo::InvalidMetadata);
    }
}

void UsbManager::FinishCheck(UsbInfo::State state)
{
    m_verifier.reset();
    m_checking.state = state;
    MeasureSpace(m_checking);
    UsbStorage::Instance().UpdateUsb(m_checking);
    emit UsbCheckComplete(m_checking.id);
}

void UsbManager::UpdateUsbSpace()
{
    if (m_stopped)
        return;
    const UsbInfo selected = UsbStorage::Instance().GetSelectedUsb();
    if (selected.IsValid()) {
        try {
            const fs::space_info space = m_spaceQuery(StickPath::ToNative(selected.path));
            // Only the space figures: the stick may have been removed, deselected
            // or re-checked since it was read.
            UsbStorage::Instance().UpdateUsbSpace(selected.id, space.capacity, space.available);
        } catch (const fs::filesystem_error& e) {
            LOG(Error) << "Failed to get space info: " << e.code().message();
        }
    }
    m_spaceTimer.start();
}

void UsbManager::MeasureSpace(UsbInfo& usb) const
{
    try {
        // A stick pulled meanwhile keeps both figures at 0.
        if (!fs::exists(m_checkRoot))
            return;
        const fs::space_info space = m_spaceQuery(m_checkRoot);
        usb.totalSpace = space.capacity;
        usb.availableSpace = space.available;
    } catch (const std::runtime_error& e) {
        LOG(Error) << "File operation failed: " << e.what();
    }
}
