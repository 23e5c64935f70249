#include "TrayArea.h"

#include "Log.h"
#include "Taskbar.h"

#include <QGuiApplication>
#include <QScreen>
#include <QSystemTrayIcon>

#include <atomic>

namespace {

// A 1x1 rectangle inside the panel at the far end of the available area's edge.
QRect PanelCorner(const QRect& available, int edge)
{
    switch (edge) {
    case TaskbarEdge::Bottom:
        return QRect(available.right(), available.bottom() + 1, 1, 1);
    case TaskbarEdge::Top:
        return QRect(available.right(), available.top() - 1, 1, 1);
    case TaskbarEdge::Left:
        return QRect(available.left() - 1, available.bottom(), 1, 1);
    case TaskbarEdge::Right:
        return QRect(available.right() + 1, available.bottom(), 1, 1);
    default:
        return QRect(available.bottomRight(), QSize(1, 1));
    }
}

} // namespace

QRect AvailableAreaAt(const QPoint& point)
{
    const QScreen* screen = QGuiApplication::screenAt(point);
    if (!screen)
        screen = QGuiApplication::primaryScreen();
    return screen ? screen->availableGeometry() : QRect();
}

QRect TrayIconRect(const QRect& reported, const QRect& screen, const QRect& available)
{
    if (!available.isValid())
        return reported;
    int edge = TaskbarEdge::Unknown;
    const QRect panel = TaskbarFromScreen(screen, available, reported.isValid() ? reported : QRect(), edge);
    const QPoint centre = reported.center();
    const bool onPanelOrElsewhere = edge == TaskbarEdge::Unknown || panel.contains(centre) || !screen.contains(centre);
    if (reported.isValid() && onPanelOrElsewhere)
        return reported;
    return PanelCorner(available, edge);
}

QRect TrayIconRect(const QRect& reported)
{
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen)
        return reported;
    return TrayIconRect(reported, screen->geometry(), screen->availableGeometry());
}

bool SystemTrayAvailable()
{
    static std::atomic<bool> reported {false};
    if (QSystemTrayIcon::isSystemTrayAvailable())
        return true;
    if (!reported.exchange(true))
        LOG(Warning) << "No system tray available: the application is reached by starting it again";
    return false;
}
