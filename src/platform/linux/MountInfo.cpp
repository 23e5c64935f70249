#include "MountInfo.h"

#include <fstream>
#include <sstream>

namespace {

bool IsOctalDigit(char c)
{
    return c >= '0' && c <= '7';
}

bool IsOctalEscape(const std::string& text, std::size_t at)
{
    return text[at] == '\\' && at + 3 < text.size() && IsOctalDigit(text[at + 1]) && IsOctalDigit(text[at + 2])
        && IsOctalDigit(text[at + 3]);
}

} // namespace

MountInfo MountInfo::Read(const std::string& path)
{
    MountInfo table;
    std::ifstream file(path);
    std::string line;
    while (std::getline(file, line))
        table.Add(line);
    return table;
}

// A line reads "<id> <parent> <major:minor> <root> <mount point> <options> ..."; the fields never contain
// white space because the kernel escapes it.
void MountInfo::Add(const std::string& line)
{
    std::istringstream fields(line);
    std::string id, parent, deviceNumber, root, mountPoint;
    if (fields >> id >> parent >> deviceNumber >> root >> mountPoint)
        m_mountPoints.emplace(deviceNumber, Unescape(mountPoint));
}

std::string MountInfo::MountPoint(const std::string& deviceNumber) const
{
    const auto found = m_mountPoints.find(deviceNumber);
    return found == m_mountPoints.end() ? std::string() : found->second;
}

std::string MountInfo::Unescape(const std::string& field)
{
    std::string text;
    for (std::size_t i = 0; i < field.size(); ++i) {
        if (IsOctalEscape(field, i)) {
            text += static_cast<char>((field[i + 1] - '0') * 64 + (field[i + 2] - '0') * 8 + (field[i + 3] - '0'));
            i += 3;
        } else {
            text += field[i];
        }
    }
    return text;
}
