#include "Progress.h"

#include <gtest/gtest.h>

#include <tuple>

// 12 * 32 / 100 = 3.84; 29 / 100 * 100 is 28.999... in floating point; 5 of 0 is an empty map.
TEST(ProgressTest, PercentAndFrameAreTruncatedAndBounded)
{
    const struct {
        std::int64_t part, whole;
        int percent, frame, deletionFrame;
    } cases[] = {{123, 1000, 12, 3, 29}, {1000, 1000, 100, 32, 0}, {0, 1000, 0, 0, 32}, {29, 100, 29, 9, 23},
        {1, 3, 33, 10, 22}, {5, 0, 0, 0, 32}, {-5, 100, 0, 0, 32}, {150, 100, 100, 32, 0},
        {(std::int64_t {1} << 40) - 1, std::int64_t {1} << 40, 99, 31, 1}}; // beyond 32-bit sizes
    for (const auto& c : cases) {
        const int percent = Ui::ProgressPercent(c.part, c.whole);
        EXPECT_EQ(std::make_tuple(percent, Ui::ProgressFrame(percent, false), Ui::ProgressFrame(percent, true)),
            std::make_tuple(c.percent, c.frame, c.deletionFrame))
            << c.part << "/" << c.whole;
    }
}

// 66.7 and 66.65 round up; 10 + 7.5 rounded; no total is an empty bar, as is more free than total or negative figures.
TEST(ProgressTest, BarFillsWithTheUsedPartRounded)
{
    const struct {
        std::int64_t freeSpace, totalSpace;
        int minimum, maximum, value;
    } cases[] = {{1000, 4000, 0, 100, 75}, {0, 4000, 0, 100, 100}, {4000, 4000, 0, 100, 0}, {333, 1000, 0, 100, 67},
        {3335, 10000, 0, 100, 67}, {1000, 4000, 10, 20, 18}, {0, 0, 0, 100, 0}, {5000, 4000, 0, 100, 0},
        {-50, -10, 0, 100, 0}};
    for (const auto& c : cases)
        EXPECT_EQ(Ui::UsedBarValue(c.freeSpace, c.totalSpace, c.minimum, c.maximum), c.value)
            << c.freeSpace << "/" << c.totalSpace;
}
