#pragma once

#include <map>
#include <string>

// The kernel's table of mounted file systems (the mountinfo format), reduced to what discovery needs: where
// each block device is mounted, keyed by its device number "major:minor".
class MountInfo {
public:
    // Reads the table from a mountinfo file; a missing or unreadable file gives an empty table.
    static MountInfo Read(const std::string& path);
    // The first mount point of the device, or an empty text when it is not mounted.
    std::string MountPoint(const std::string& deviceNumber) const;
    // Undoes the octal escapes (\040 for a space, \134 for a backslash, ...) of a mountinfo field.
    static std::string Unescape(const std::string& field);

private:
    // Parses one line and records its mount point unless the device already has one (the first one counts).
    void Add(const std::string& line);

    std::map<std::string, std::string> m_mountPoints;
};
