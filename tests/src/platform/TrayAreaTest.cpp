#include "TrayArea.h"
#include "LogCapture.h"
#include "Taskbar.h"

#include <gtest/gtest.h>

// A tray that reports no icon rectangle gets one at the corner of the
// available area on the panel's edge, inside the panel, so that the popup
// still lands beside the panel; a reported rectangle is kept as it is.
TEST(TrayAreaTest, StandsInForAMissingIconRectangleAtThePanelsCorner)
{
    const QRect screen(0, 0, 1280, 800);
    const struct {
        const char* name;
        QRect reported;
        QRect available;
        int edge;
        QRect expected;
    } cases[] = {
        {"reported rectangle kept", QRect(1250, 777, 22, 22), QRect(0, 0, 1280, 776), TaskbarEdge::Bottom,
            QRect(1250, 777, 22, 22)},
        {"bottom: right end of the panel", QRect(0, 0, 0, 0), QRect(0, 0, 1280, 776), TaskbarEdge::Bottom,
            QRect(1279, 776, 1, 1)},
        {"top: right end of the panel", QRect(), QRect(0, 24, 1280, 776), TaskbarEdge::Top, QRect(1279, 23, 1, 1)},
        {"left: bottom end of the panel", QRect(), QRect(28, 0, 1252, 800), TaskbarEdge::Left, QRect(27, 799, 1, 1)},
        {"right: bottom end of the panel", QRect(), QRect(0, 0, 1252, 800), TaskbarEdge::Right, QRect(1252, 799, 1, 1)},
        {"no panel: bottom-right corner", QRect(), screen, TaskbarEdge::Unknown, QRect(1279, 799, 1, 1)},
        {"no screen: nothing to stand in with", QRect(), QRect(), TaskbarEdge::Unknown, QRect()},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(TrayIconRect(c.reported, c.available, c.edge), c.expected);
        // The stand-in lies in the panel the edge names, so the panel found by it is the same.
        if (!c.reported.isValid() && c.edge != TaskbarEdge::Unknown) {
            int edge = TaskbarEdge::Unknown;
            TaskbarFromScreen(screen, c.available, c.expected, edge);
            EXPECT_EQ(edge, c.edge);
        }
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
