#include "UsbManager.h"

#include "Log.h"
#include "StickPath.h"
#include "StickVerifier.h"
#include "UsbStorage.h"

#include <QMetaType>
#include <QTimer>

#include <stdexcept>

namespace fs = boost::filesystem;

namespace {

constexpr std::uint16_t DiscoveryIntervalMs = 1000;
constexpr int SpaceRefreshMs = 1000;

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
    UpdateUsbSpace();
}

UsbManager::~UsbManager()
{
    LOG(Info) << "Stopping USB discovery";
    m_notifier.reset();
}

void UsbManager::StartUsbDiscovery()
{
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
}

void UsbManager::MassStorageCome(DeviceDiscovery::DeviceProperties properties)
{
    LOG(Debug) << "Detected device: " << properties.uid << " with path: " << properties.path;
    // Both after this slot returns, the start signal first.
    QTimer::singleShot(0, Qt::PreciseTimer, this, [this] { emit UsbCheckStarted(); });
    QTimer::singleShot(0, Qt::PreciseTimer, this, [this, properties] { CheckUsb(properties); });
}

void UsbManager::MassStorageGo(uint64_t deviceUid)
{
    LOG(Debug) << "Device: " << deviceUid << " was removed or disabled";
    // Queued behind any check still pending for this stick, so that the removal
    // follows the record the check stores.
    QTimer::singleShot(0, Qt::PreciseTimer, this, [this, deviceUid] { emit UsbRemoved(deviceUid); });
}

void UsbManager::UpdateUsbSpace()
{
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
    // By name, so that once this object has moved to its thread the refresh runs there.
    QTimer::singleShot(SpaceRefreshMs, Qt::PreciseTimer, this, SLOT(UpdateUsbSpace()));
}

void UsbManager::CheckUsb(const DeviceDiscovery::DeviceProperties& properties)
{
    UsbInfo usb;
    usb.id = properties.uid;
    usb.path = StickPath::ToWide(properties.path);
    LOG(Debug) << "Checking usb: " << properties.path;
    const fs::path root = properties.path;
    usb.state = CheckMetadata(root);
    MeasureSpace(root, usb);
    UsbStorage::Instance().UpdateUsb(usb);
    emit UsbCheckComplete(usb.id);
}

UsbInfo::State UsbManager::CheckMetadata(const fs::path& root)
{
    try {
        return StickVerifier().Check(root);
    } catch (const std::runtime_error& e) {
        // A check that cannot finish still ends, so that nobody waits for it:
        // metadata that could not be verified is not valid.
        LOG(Error) << "File operation failed: " << e.what();
        return UsbInfo::InvalidMetadata;
    }
}

void UsbManager::MeasureSpace(const fs::path& root, UsbInfo& usb) const
{
    try {
        // A stick pulled meanwhile keeps both figures at 0.
        if (!fs::exists(root))
            return;
        const fs::space_info space = m_spaceQuery(root);
        usb.totalSpace = space.capacity;
        usb.availableSpace = space.available;
    } catch (const std::runtime_error& e) {
        LOG(Error) << "File operation failed: " << e.what();
    }
}
