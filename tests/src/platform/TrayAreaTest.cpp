#include "TrayArea.h"
#include "LogCapture.h"

#include <gtest/gtest.h>

// A tray that reports no icon rectangle, or an icon not docked yet (its own
// window at the origin, on no panel), gets one at the corner of the available
// area on the panel's edge, inside the panel, so that the popup still lands
// against the panel; an icon on a panel or on another screen is kept.
TEST(TrayAreaTest, StandsInForAMissingOrUndockedIconAtThePanelsCorner)
{
    const QRect screen(0, 0, 1280, 800);
    const QRect bottomArea(0, 0, 1280, 776);
    const QRect undocked(0, 0, 22, 22);
    const struct {
        const char* name;
        QRect reported;
        QRect available;
        QRect expected;
    } cases[] = {
        {"docked in the bottom panel: kept", QRect(1250, 777, 22, 22), bottomArea, QRect(1250, 777, 22, 22)},
        {"none, bottom panel: its right end", QRect(0, 0, 0, 0), bottomArea, QRect(1279, 776, 1, 1)},
        {"not docked yet, bottom panel: its right end", undocked, bottomArea, QRect(1279, 776, 1, 1)},
        {"none, top panel: its right end", QRect(), QRect(0, 24, 1280, 776), QRect(1279, 23, 1, 1)},
        {"none, left panel: its bottom end", QRect(), QRect(28, 0, 1252, 800), QRect(27, 799, 1, 1)},
        {"none, right panel: its bottom end", QRect(), QRect(0, 0, 1252, 800), QRect(1252, 799, 1, 1)},
        {"in the narrower of two panels: kept", QRect(1250, 2, 20, 20), QRect(0, 24, 1280, 748),
            QRect(1250, 2, 20, 20)},
        {"on another screen: kept", QRect(1400, 700, 22, 22), bottomArea, QRect(1400, 700, 22, 22)},
        {"none, no panel: bottom-right corner", QRect(), screen, QRect(1279, 799, 1, 1)},
        {"somewhere, no panel: kept", QRect(600, 300, 22, 22), screen, QRect(600, 300, 22, 22)},
        {"none, no screen: nothing to stand in with", QRect(), QRect(), QRect()},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(TrayIconRect(c.reported, screen, c.available), c.expected);
    }
}

// Offscreen there is no notification area: said once, however often asked.
TEST(TrayAreaTest, MissingTrayIsLoggedOnceAtWarning)
{
    LogCapture log;
    EXPECT_FALSE(SystemTrayAvailable());
    EXPECT_FALSE(SystemTrayAvailable());
    EXPECT_EQ(log.Count(Log::Warning, "No system tray available"), 1);
}
