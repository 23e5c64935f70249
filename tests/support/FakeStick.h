#pragma once

#include "TestFiles.h"

#include <filesystem>

// USB sticks as the kernel shows them (sysfs tree, mountinfo), under TESSALY_SYSFS_ROOT and TESSALY_MOUNTINFO.
class FakeSticks {
public:
    struct Disk {
        QString mountDir; // empty: not mounted
        QString serial = "SER0001"; // empty: the USB device has no serial file
        QString vendorId = "abcd";
        QString productId = "1234";
        bool removable = true;
        bool usb = true; // false: the disk hangs off a SATA controller
        bool media = true; // false: size 0, as an empty card reader slot
        bool partitioned = true; // false: the file system sits on the whole disk
        QByteArray nativeMountDir {}; // in place of mountDir: a name that no text form holds, byte for byte
    };

    FakeSticks()
    {
        QDir().mkpath(root.path() + "/sys/block");
        WriteMountInfo();
        qputenv("TESSALY_SYSFS_ROOT", QFile::encodeName(root.path() + "/sys"));
        qputenv("TESSALY_MOUNTINFO", QFile::encodeName(root.path() + "/mountinfo"));
    }
    ~FakeSticks()
    {
        qunsetenv("TESSALY_SYSFS_ROOT");
        qunsetenv("TESSALY_MOUNTINFO");
    }

    QString Insert(const Disk& disk)
    {
        const int index = ++disks;
        const QString name = QString("sd%1").arg(QChar('a' + index));
        const QString sysfs = root.path() + "/sys";
        const QString usbDevice = sysfs + QString("/devices/pci0000:00/0000:00:14.0/usb1/1-%1").arg(index);
        const QString scsi = QString("/host%1/target%1:0:0/%1:0:0:0/block/").arg(index + 5) + name;
        const QString deviceDir = disk.usb
            ? usbDevice + QString("/1-%1:1.0").arg(index) + scsi
            : sysfs + QString("/devices/pci0000:00/0000:00:17.0/ata%1").arg(index) + scsi;
        const QString fileSystem = disk.partitioned ? name + "1" : name; // its name under /dev
        const QString deviceNumber = QString("8:%1").arg(index * 16 + (disk.partitioned ? 1 : 0));
        if (disk.usb) {
            WriteAttribute(usbDevice + "/idVendor", disk.vendorId);
            WriteAttribute(usbDevice + "/idProduct", disk.productId);
            if (!disk.serial.isEmpty())
                WriteAttribute(usbDevice + "/serial", disk.serial);
        }
        WriteAttribute(deviceDir + "/removable", disk.removable ? "1" : "0");
        WriteAttribute(deviceDir + "/size", disk.media ? "60063744" : "0");
        WriteAttribute(deviceDir + "/dev", QString("8:%1").arg(index * 16));
        if (disk.partitioned) {
            WriteAttribute(deviceDir + "/" + fileSystem + "/partition", "1");
            WriteAttribute(deviceDir + "/" + fileSystem + "/dev", deviceNumber);
        }
        QDir().mkpath(deviceDir + "/queue"); // a sub-folder that is not a partition
        QFile::link("../" + QDir(sysfs).relativeFilePath(deviceDir), sysfs + "/block/" + name);

        const QByteArray mountDir
            = disk.nativeMountDir.isEmpty() ? QFile::encodeName(disk.mountDir) : disk.nativeMountDir;
        if (mountDir.isEmpty())
            return name;
        std::filesystem::create_directories(mountDir.toStdString()); // throws on failure
        // The kernel writes space, tab, newline and backslash in mount paths as octal escapes, other bytes as they are.
        QByteArray escaped;
        for (const char c : mountDir)
            escaped += QByteArray(" \t\n\\").contains(c) ? "\\" + QByteArray::number(int(c), 8).rightJustified(3, '0')
                                                         : QByteArray(1, c);
        const QByteArray id = QByteArray::number(100 + int(mounts.size()));
        mounts.emplace(name,
            id + " 22 " + deviceNumber.toLatin1() + " / " + escaped + " rw,nosuid,nodev,relatime shared:" + id
                + " - vfat /dev/" + fileSystem.toLatin1() + " rw,fmask=0022\n");
        WriteMountInfo();
        return name;
    }

    void Remove(const QString& blockName)
    {
        mounts.erase(blockName);
        WriteMountInfo();
    }

    QString MountDir(const QString& name) const { return root.path() + "/media/" + name; }

private:
    static void WriteAttribute(const QString& path, const QString& text)
    {
        TestFiles::Write(path, text.toUtf8() + "\n");
    }

    // Renamed into place: a poll never sees half a file. Every system's own mounts never match a stick.
    void WriteMountInfo() const
    {
        QByteArray text = "22 1 259:2 / / rw,relatime shared:1 - ext4 /dev/nvme0n1p2 rw\n"
                          "23 22 0:22 / /proc rw,nosuid,nodev,noexec,relatime shared:12 - proc proc rw\n"
                          "24 22 0:21 / /sys rw,nosuid,nodev,noexec,relatime shared:2 - sysfs sysfs rw\n";
        for (const auto& mount : mounts)
            text += mount.second;
        QSaveFile file(root.path() + "/mountinfo");
        if (!file.open(QIODevice::WriteOnly) || file.write(text) < 0 || !file.commit())
            throw std::runtime_error("FakeSticks: cannot write the mountinfo");
    }

    QTemporaryDir root {QDir::tempPath() + "/tessaly-sysfs-XXXXXX"};
    int disks = 0;
    std::map<QString, QByteArray> mounts; // block name (sdb, sdc, ... in the order of insertion) -> mountinfo line
};
