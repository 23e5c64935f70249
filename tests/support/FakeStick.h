#pragma once

#include <QString>
#include <QTemporaryDir>

#include <vector>

// Fabricates USB sticks for the Linux discovery layer: a sysfs tree laid out like the kernel's (block links
// into the device hierarchy, the USB device folder holding idVendor, idProduct and serial) under a temporary
// root, and a mountinfo file. Points TESSALY_SYSFS_ROOT and TESSALY_MOUNTINFO at them for its lifetime.
class FakeSticks {
public:
    // One fabricated disk; switching a flag off makes a disk that discovery must skip.
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

    FakeSticks();
    ~FakeSticks();
    FakeSticks(const FakeSticks&) = delete;
    FakeSticks& operator=(const FakeSticks&) = delete;

    // Adds the disk, mounted at its mountDir (created if missing); returns its block name.
    QString Insert(const Disk& disk);
    // Rewrites mountinfo without the disk's mounts (temp file + rename, so a poll never sees half a file).
    void Remove(const QString& blockName);

    // A folder below the fake's own root to mount a stick at (removed with the fake).
    QString MountDir(const QString& name) const { return m_root.path() + "/media/" + name; }

private:
    struct MountLine {
        QString blockName;
        QByteArray text;
    };
    struct BlockDevice {
        QString name;
        QString deviceNumber; // "major:minor" of the file system: the first partition or the whole disk
        QString fileSystemName; // its name under /dev
    };

    QString SysfsRoot() const { return m_root.path() + "/sys"; }
    QString MountInfoPath() const { return m_root.path() + "/mountinfo"; }
    void Mount(const BlockDevice& device, const QByteArray& mountDir);
    QString CreateDeviceTree(const Disk& disk, int index, const QString& name) const;
    void WriteAttribute(const QString& dir, const QString& name, const QString& value) const;
    void WriteMountInfo() const;

    QTemporaryDir m_root;
    std::vector<BlockDevice> m_devices;
    std::vector<MountLine> m_mounts;
    QByteArray m_previousSysfsRoot;
    QByteArray m_previousMountInfo;
};
