#pragma once

#include <cstdint>

namespace Ui {

// The share of part in whole in whole percent, truncated and kept within 0 to
// 100; 0 for an empty or negative whole (a map of size 0).
int ProgressPercent(std::int64_t part, std::int64_t whole);

// The frame (0 to 32) of a progress ring at the percentage; a deletion runs
// the frames backwards.
int ProgressFrame(int percent, bool deletion);

// The value of a bar from minimum to maximum that fills with the used part
// of total, rounded; an empty bar when total is 0 or less.
int UsedBarValue(std::int64_t freeSpace, std::int64_t totalSpace, int minimum, int maximum);

} // namespace Ui
