#include "Progress.h"

#include <algorithm>
#include <cmath>

namespace Ui {

namespace {

constexpr int kLastFrame = 32;

} // namespace

int ProgressPercent(std::int64_t part, std::int64_t whole)
{
    if (whole <= 0)
        return 0;
    return static_cast<int>(static_cast<double>(std::clamp<std::int64_t>(part, 0, whole)) * 100.0 / whole);
}

int ProgressFrame(int percent, bool deletion)
{
    const int frame = std::clamp(percent, 0, 100) * kLastFrame / 100;
    return deletion ? kLastFrame - frame : frame;
}

int UsedBarValue(std::int64_t freeSpace, std::int64_t totalSpace, int minimum, int maximum)
{
    if (totalSpace <= 0)
        return minimum;
    const auto used = static_cast<double>(std::clamp<std::int64_t>(totalSpace - freeSpace, 0, totalSpace));
    return minimum + static_cast<int>(std::round((maximum - minimum) * used / totalSpace));
}

} // namespace Ui
