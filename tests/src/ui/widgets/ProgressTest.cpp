#include "../UiTest.h"

// 12 * 32 / 100 = 3.84; 29 / 100 * 100 is 28.999... in floating point; 5 of 0 is an empty map.
TEST(ProgressTest, PercentAndFrameAreTruncatedAndBounded)
{
    const std::tuple<std::int64_t, std::int64_t, int, int, int> cases[]
        = {{123, 1000, 12, 3, 29}, {1000, 1000, 100, 32, 0}, {0, 1000, 0, 0, 32}, {29, 100, 29, 9, 23},
            {1, 3, 33, 10, 22}, {5, 0, 0, 0, 32}, {-5, 100, 0, 0, 32}, {150, 100, 100, 32, 0},
            {(std::int64_t {1} << 40) - 1, std::int64_t {1} << 40, 99, 31, 1}}; // beyond 32-bit sizes
    for (const auto& [part, whole, percent, frame, deletionFrame] : cases) {
        const int got = Ui::ProgressPercent(part, whole);
        EXPECT_EQ(std::make_tuple(got, Ui::ProgressFrame(got, false), Ui::ProgressFrame(got, true)),
            std::make_tuple(percent, frame, deletionFrame))
            << part << "/" << whole;
    }
}

// 66.7 and 66.65 round up; 10 + 7.5 rounded; no total is an empty bar, as is more free than total or negative figures.
TEST(ProgressTest, BarFillsWithTheUsedPartRounded)
{
    const std::tuple<std::int64_t, std::int64_t, int, int, int> cases[] = {{1000, 4000, 0, 100, 75},
        {0, 4000, 0, 100, 100}, {4000, 4000, 0, 100, 0}, {333, 1000, 0, 100, 67}, {3335, 10000, 0, 100, 67},
        {1000, 4000, 10, 20, 18}, {0, 0, 0, 100, 0}, {5000, 4000, 0, 100, 0}, {-50, -10, 0, 100, 0}};
    for (const auto& [freeSpace, totalSpace, minimum, maximum, value] : cases)
        EXPECT_EQ(Ui::UsedBarValue(freeSpace, totalSpace, minimum, maximum), value) << freeSpace << "/" << totalSpace;
}
