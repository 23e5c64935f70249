#include "Taskbar.h"

#include <QGuiApplication>
#include <QScreen>

#include <array>

namespace {

struct Strip {
    int edge;
    int inset;
    QRect rect;
};

// The four strips between the full and the available geometry; between strips
// of the same width the earlier one wins (horizontal panels are the common case).
std::array<Strip, 4> StripsOf(const QRect& screen, const QRect& available)
{
    const int bottom = screen.bottom() - available.bottom();
    const int left = available.left() - screen.left();
    const int right = screen.right() - available.right();
    const int top = available.top() - screen.top();
    return {{
        {TaskbarEdge::Bottom, bottom, QRect(screen.left(), available.bottom() + 1, screen.width(), bottom)},
        {TaskbarEdge::Top, top, QRect(screen.left(), screen.top(), screen.width(), top)},
        {TaskbarEdge::Left, left, QRect(screen.left(), screen.top(), left, screen.height())},
        {TaskbarEdge::Right, right, QRect(available.right() + 1, screen.top(), right, screen.height())},
    }};
}

} // namespace

QRect TaskbarFromScreen(const QRect& screen, const QRect& available, const QRect& trayIcon, int& edge)
{
    edge = TaskbarEdge::Unknown;
    if (!screen.isValid() || !available.isValid())
        return QRect();
    const auto strips = StripsOf(screen, available);
    const Strip* chosen = nullptr;
    for (const Strip& strip : strips) {
        if (strip.inset <= 0)
            continue;
        if (!trayIcon.isNull() && strip.rect.contains(trayIcon.center())) {
            chosen = &strip;
            break;
        }
        if (!chosen || strip.inset > chosen->inset)
            chosen = &strip;
    }
    if (!chosen)
        return QRect();
    edge = chosen->edge;
    return chosen->rect;
}

QRect GetTaskbarGeometry(int& edge, const QRect& trayIcon)
{
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen) {
        edge = TaskbarEdge::Unknown;
        return QRect();
    }
    return TaskbarFromScreen(screen->geometry(), screen->availableGeometry(), trayIcon, edge);
}

QRect GetTaskbarGeometry(int& edge)
{
    return GetTaskbarGeometry(edge, QRect());
}
