#include "FakeStick.h"

#include <QDir>
#include <QFile>
#include <QSaveFile>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <stdexcept>

namespace {

const char* const kSysfsVariable = "TESSALY_SYSFS_ROOT";
const char* const kMountInfoVariable = "TESSALY_MOUNTINFO";

// Mounts every system has, so that matching by device number is exercised against lines that never match.
const char* const kSystemMounts = "22 1 259:2 / / rw,relatime shared:1 - ext4 /dev/nvme0n1p2 rw\n"
                                  "23 22 0:22 / /proc rw,nosuid,nodev,noexec,relatime shared:12 - proc proc rw\n"
                                  "24 22 0:21 / /sys rw,nosuid,nodev,noexec,relatime shared:2 - sysfs sysfs rw\n";

// The kernel writes space, tab, newline and backslash in mount paths as octal escapes, every other byte as it is.
QByteArray EscapeMountPath(const QByteArray& path)
{
    QByteArray escaped;
    for (const char c : path) {
        if (c == ' ' || c == '\t' || c == '\n' || c == '\\')
            escaped += QString("\\%1").arg(static_cast<int>(c), 3, 8, QChar('0')).toLatin1();
        else
            escaped += c;
    }
    return escaped;
}

QByteArray SaveVariable(const char* name, const QString& value)
{
    const QByteArray previous = qgetenv(name);
    qputenv(name, QFile::encodeName(value));
    return previous;
}

void RestoreVariable(const char* name, const QByteArray& previous)
{
    if (previous.isEmpty())
        qunsetenv(name);
    else
        qputenv(name, previous);
}

void MakeDir(const QByteArray& path)
{
    std::error_code error;
    std::filesystem::create_directories(path.toStdString(), error);
    if (error)
        throw std::runtime_error("FakeSticks: cannot create " + path.toStdString());
}

} // namespace

FakeSticks::FakeSticks()
    : m_root(QDir::tempPath() + "/tessaly-sysfs-XXXXXX")
{
    if (!m_root.isValid())
        throw std::runtime_error("FakeSticks: cannot create a temporary folder");
    MakeDir(QFile::encodeName(SysfsRoot() + "/block"));
    WriteMountInfo();
    m_previousSysfsRoot = SaveVariable(kSysfsVariable, SysfsRoot());
    m_previousMountInfo = SaveVariable(kMountInfoVariable, MountInfoPath());
}

FakeSticks::~FakeSticks()
{
    RestoreVariable(kSysfsVariable, m_previousSysfsRoot);
    RestoreVariable(kMountInfoVariable, m_previousMountInfo);
}

QString FakeSticks::Insert(const Disk& disk)
{
    const int index = static_cast<int>(m_devices.size()) + 1;
    if (index > 'z' - 'a')
        throw std::length_error("FakeSticks: no block names left");
    const QString name = QString("sd%1").arg(QChar('a' + index));
    const QString deviceDir = CreateDeviceTree(disk, index, name);
    if (!QFile::link("../" + QDir(SysfsRoot()).relativeFilePath(deviceDir), SysfsRoot() + "/block/" + name))
        throw std::runtime_error("FakeSticks: cannot link block device " + name.toStdString());
    if (disk.partitioned)
        m_devices.push_back({name, QString("8:%1").arg(index * 16 + 1), name + "1"});
    else
        m_devices.push_back({name, QString("8:%1").arg(index * 16), name});
    const QByteArray mountDir = disk.nativeMountDir.isEmpty() ? QFile::encodeName(disk.mountDir) : disk.nativeMountDir;
    if (!mountDir.isEmpty())
        Mount(m_devices.back(), mountDir);
    return name;
}

// Lays out devices/.../block/<name> the way the kernel does for a SCSI disk behind a USB mass-storage
// interface (or behind a SATA port), and returns the disk's folder.
QString FakeSticks::CreateDeviceTree(const Disk& disk, int index, const QString& name) const
{
    const QString host = QString::number(index + 5);
    const QString scsi = QString("/host%1/target%1:0:0/%1:0:0:0/block/").arg(host) + name;
    QString deviceDir;
    if (disk.usb) {
        const QString usbDevice = SysfsRoot() + QString("/devices/pci0000:00/0000:00:14.0/usb1/1-%1").arg(index);
        deviceDir = usbDevice + QString("/1-%1:1.0").arg(index) + scsi;
        MakeDir(QFile::encodeName(deviceDir));
        WriteAttribute(usbDevice, "idVendor", disk.vendorId);
        WriteAttribute(usbDevice, "idProduct", disk.productId);
        if (!disk.serial.isEmpty())
            WriteAttribute(usbDevice, "serial", disk.serial);
    } else {
        deviceDir = SysfsRoot() + QString("/devices/pci0000:00/0000:00:17.0/ata%1").arg(index) + scsi;
        MakeDir(QFile::encodeName(deviceDir));
    }
    WriteAttribute(deviceDir, "removable", disk.removable ? "1" : "0");
    WriteAttribute(deviceDir, "size", disk.media ? "60063744" : "0");
    WriteAttribute(deviceDir, "dev", QString("8:%1").arg(index * 16));
    if (disk.partitioned) {
        const QString partition = deviceDir + "/" + name + "1";
        MakeDir(QFile::encodeName(partition));
        WriteAttribute(partition, "partition", "1");
        WriteAttribute(partition, "dev", QString("8:%1").arg(index * 16 + 1));
    }
    MakeDir(QFile::encodeName(deviceDir + "/queue")); // a sub-folder that is not a partition
    return deviceDir;
}

void FakeSticks::Mount(const BlockDevice& device, const QByteArray& mountDir)
{
    MakeDir(mountDir);
    const int id = 100 + static_cast<int>(m_mounts.size());
    const QByteArray line = QString("%1 22 %2 / ").arg(id).arg(device.deviceNumber).toUtf8() + EscapeMountPath(mountDir)
        + QString(" rw,nosuid,nodev,relatime shared:%1 - vfat /dev/%2 rw,fmask=0022\n")
              .arg(id)
              .arg(device.fileSystemName)
              .toUtf8();
    m_mounts.push_back({device.name, line});
    WriteMountInfo();
}

void FakeSticks::Remove(const QString& blockName)
{
    m_mounts.erase(std::remove_if(m_mounts.begin(), m_mounts.end(),
                       [&blockName](const MountLine& m) { return m.blockName == blockName; }),
        m_mounts.end());
    WriteMountInfo();
}

void FakeSticks::WriteAttribute(const QString& dir, const QString& name, const QString& value) const
{
    QFile file(dir + "/" + name);
    if (!file.open(QIODevice::WriteOnly) || file.write(value.toUtf8() + "\n") < 0)
        throw std::runtime_error("FakeSticks: cannot write " + file.fileName().toStdString());
}

void FakeSticks::WriteMountInfo() const
{
    QByteArray text = kSystemMounts;
    for (const MountLine& mount : m_mounts)
        text += mount.text;
    QSaveFile file(MountInfoPath());
    if (!file.open(QIODevice::WriteOnly) || file.write(text) < 0 || !file.commit())
        throw std::runtime_error("FakeSticks: cannot write " + MountInfoPath().toStdString());
}
