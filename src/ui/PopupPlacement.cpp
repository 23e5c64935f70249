#include "PopupPlacement.h"

#include "Taskbar.h"

namespace Ui {

namespace {

// The frame's width on one side from the outer and inner extent.
int Border(int outer, int inner)
{
    const int half = (outer - inner) / 2;
    return half + half / 2;
}

void CentreOn(QRect& rect, const QRect& tray)
{
    rect.moveLeft((tray.left() + tray.right()) / 2 - rect.width() / 2);
}

// Far sides first, so a popup larger than the area keeps its top-left corner visible.
QRect KeepInside(QRect rect, const QRect& area)
{
    if (area.isNull())
        return rect;
    if (rect.right() > area.right())
        rect.moveRight(area.right());
    if (rect.left() < area.left())
        rect.moveLeft(area.left());
    if (rect.bottom() > area.bottom())
        rect.moveBottom(area.bottom());
    if (rect.top() < area.top())
        rect.moveTop(area.top());
    return rect;
}

} // namespace

QRect PlacePopup(const PopupPlacement& in)
{
    QRect rect(in.outer.topLeft(), in.client);
    if (!in.tray.isValid())
        return rect;
    const int borderX = Border(in.outer.width(), in.client.width());
    const int borderY = Border(in.outer.height(), in.client.height());
    switch (in.edge) {
    case TaskbarEdge::Bottom:
        rect.moveBottom(in.taskbar.top() - borderY);
        CentreOn(rect, in.tray);
        break;
    case TaskbarEdge::Top:
        rect.moveTop(in.taskbar.bottom() + borderY);
        CentreOn(rect, in.tray);
        break;
    case TaskbarEdge::Left:
        rect.moveLeft(in.taskbar.right() + borderX);
        rect.moveBottom(in.tray.bottom());
        break;
    case TaskbarEdge::Right:
        rect.moveRight(in.taskbar.left() - borderX);
        rect.moveBottom(in.tray.bottom());
        break;
    default:
        return rect;
    }
    return KeepInside(rect, in.area);
}

} // namespace Ui
