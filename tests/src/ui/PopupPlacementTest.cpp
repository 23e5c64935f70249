#include "PopupPlacement.h"
#include "Taskbar.h"

#include <gtest/gtest.h>

using Ui::PlacePopup;
using Ui::PopupPlacement;

namespace {

// A 1280x800 screen; the panel is 24 (bottom, top) or 28 (left, right) pixels deep.
const QRect kBottomBar(0, 776, 1280, 24), kBottomArea(0, 0, 1280, 776);
const QRect kTopBar(0, 0, 1280, 24), kTopArea(0, 24, 1280, 776);
const QRect kLeftBar(0, 0, 28, 800), kLeftArea(28, 0, 1252, 800);
const QRect kRightBar(1252, 0, 28, 800), kRightArea(0, 0, 1252, 800);
const QRect kFrameless(100, 100, 240, 371);

} // namespace

// Expected corners worked out by hand; rectangles are inclusive, "/ 2" truncates.
TEST(PopupPlacementTest, SitsBesideTheIconOnEveryEdgeAndInsideTheAvailableArea)
{
    const struct {
        const char* name;
        QRect outer;
        QRect tray;
        QRect taskbar;
        int edge;
        QRect area;
        QRect expected;
    } cases[] = {
        {"bottom, centred on the icon", kFrameless, QRect(600, 777, 20, 20), kBottomBar, TaskbarEdge::Bottom,
            kBottomArea, QRect(489, 405, 240, 371)},
        {"bottom, icon at the right: right edge on the area's", kFrameless, QRect(1250, 777, 20, 20), kBottomBar,
            TaskbarEdge::Bottom, kBottomArea, QRect(1040, 405, 240, 371)},
        {"bottom, icon at the left: left edge on the area's", kFrameless, QRect(10, 777, 20, 20), kBottomBar,
            TaskbarEdge::Bottom, kBottomArea, QRect(0, 405, 240, 371)},
        {"top, below the panel", kFrameless, QRect(1250, 2, 20, 20), kTopBar, TaskbarEdge::Top, kTopArea,
            QRect(1040, 24, 240, 371)},
        {"left, level with the icon's bottom", kFrameless, QRect(3, 700, 22, 22), kLeftBar, TaskbarEdge::Left,
            kLeftArea, QRect(28, 351, 240, 371)},
        {"left, icon near the top: top edge on the area's", kFrameless, QRect(3, 100, 22, 22), kLeftBar,
            TaskbarEdge::Left, kLeftArea, QRect(28, 0, 240, 371)},
        {"right, level with the icon's bottom", kFrameless, QRect(1255, 700, 22, 22), kRightBar, TaskbarEdge::Right,
            kRightArea, QRect(1012, 351, 240, 371)},
        {"right, icon past the area's bottom", kFrameless, QRect(1255, 790, 22, 22), kRightBar, TaskbarEdge::Right,
            kRightArea, QRect(1012, 429, 240, 371)},
        {"a 5 px frame keeps 7 px from the panel", QRect(100, 100, 250, 381), QRect(600, 777, 20, 20), kBottomBar,
            TaskbarEdge::Bottom, kBottomArea, QRect(489, 399, 240, 371)},
        {"larger than the area: its top-left corner stays visible", kFrameless, QRect(150, 305, 10, 10),
            QRect(0, 300, 200, 20), TaskbarEdge::Bottom, QRect(0, 0, 200, 300), QRect(0, 0, 240, 371)},
        {"no area known: only the panel decides", kFrameless, QRect(1250, 777, 20, 20), kBottomBar, TaskbarEdge::Bottom,
            QRect(), QRect(1139, 406, 240, 371)},
        {"unknown edge: unchanged", kFrameless, QRect(1250, 777, 20, 20), QRect(), TaskbarEdge::Unknown, kBottomArea,
            kFrameless},
        {"invalid tray rectangle: unchanged", QRect(-500, 2000, 240, 371), QRect(0, 0, 0, 0), kBottomBar,
            TaskbarEdge::Bottom, kBottomArea, QRect(-500, 2000, 240, 371)},
        {"invalid tray rectangle with a frame: client size kept", QRect(100, 100, 250, 381), QRect(), kBottomBar,
            TaskbarEdge::Bottom, kBottomArea, QRect(100, 100, 240, 371)},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(PlacePopup({c.outer, QSize(240, 371), c.tray, c.taskbar, c.edge, c.area}), c.expected);
    }
}
