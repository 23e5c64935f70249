#include "Taskbar.h"

#include <gtest/gtest.h>

namespace {

const QRect screen(0, 0, 1920, 1080);

struct TaskbarCase {
    const char* name;
    QRect screen;
    QRect available;
    QRect trayIcon;
    int edge;
    QRect rect;
};

class Taskbar : public ::testing::TestWithParam<TaskbarCase> { };

} // namespace

TEST_P(Taskbar, StripAndEdge)
{
    const TaskbarCase& c = GetParam();
    int edge = 42;
    EXPECT_EQ(TaskbarFromScreen(c.screen, c.available, c.trayIcon, edge), c.rect);
    EXPECT_EQ(edge, c.edge);
}

INSTANTIATE_TEST_SUITE_P(Edges, Taskbar,
    ::testing::Values(
        TaskbarCase {"Bottom", screen, QRect(0, 0, 1920, 1040), QRect(), TaskbarEdge::Bottom, QRect(0, 1040, 1920, 40)},
        TaskbarCase {"Left", screen, QRect(64, 0, 1856, 1080), QRect(), TaskbarEdge::Left, QRect(0, 0, 64, 1080)},
        TaskbarCase {"Right", screen, QRect(0, 0, 1872, 1080), QRect(), TaskbarEdge::Right, QRect(1872, 0, 48, 1080)},
        TaskbarCase {"Top", screen, QRect(0, 28, 1920, 1052), QRect(), TaskbarEdge::Top, QRect(0, 0, 1920, 28)},
        // A second screen placed right of another: coordinates are not at the origin.
        TaskbarCase {"OffsetScreenLeft", QRect(1920, 200, 1280, 1024), QRect(1970, 200, 1230, 1024), QRect(),
            TaskbarEdge::Left, QRect(1920, 200, 50, 1024)},
        // Top bar and dock: the wider strip wins while the tray icon is unknown...
        TaskbarCase {"TopBarAndDockWidest", screen, QRect(0, 28, 1920, 980), QRect(), TaskbarEdge::Bottom,
            QRect(0, 1008, 1920, 72)},
        // ...and the strip holding the tray icon wins once it is known.
        TaskbarCase {"TopBarAndDockTray", screen, QRect(0, 28, 1920, 980), QRect(1880, 4, 20, 20), TaskbarEdge::Top,
            QRect(0, 0, 1920, 28)},
        TaskbarCase {"DockWithTrayOnLeftStrip", screen, QRect(48, 0, 1832, 1080), QRect(10, 1040, 24, 24),
            TaskbarEdge::Left, QRect(0, 0, 48, 1080)},
        // A tray icon outside every strip (on another screen) leaves the widest.
        TaskbarCase {"TrayElsewhere", screen, QRect(48, 0, 1832, 1080), QRect(3000, 10, 24, 24), TaskbarEdge::Left,
            QRect(0, 0, 48, 1080)},
        TaskbarCase {"EqualStripsBottomFirst", screen, QRect(0, 30, 1920, 1020), QRect(), TaskbarEdge::Bottom,
            QRect(0, 1050, 1920, 30)},
        TaskbarCase {"EqualStripsTopBeforeSides", screen, QRect(30, 30, 1860, 1050), QRect(), TaskbarEdge::Top,
            QRect(0, 0, 1920, 30)},
        TaskbarCase {"NoInset", screen, screen, QRect(), TaskbarEdge::Unknown, QRect()},
        TaskbarCase {"NoScreen", QRect(), QRect(), QRect(), TaskbarEdge::Unknown, QRect()},
        // An available area reaching beyond the screen is no panel.
        TaskbarCase {"AvailableLarger", screen, QRect(-10, -10, 1940, 1100), QRect(), TaskbarEdge::Unknown, QRect()}),
    [](const ::testing::TestParamInfo<TaskbarCase>& info) { return std::string(info.param.name); });
