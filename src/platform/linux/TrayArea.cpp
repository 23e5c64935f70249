#include "TrayArea.h"

#include "Log.h"
#include "Taskbar.h"

#include <QGuiApplication>
#include <QScreen>
#include <QSystemTrayIcon>

#include <atomic>

QRect AvailableAreaAt(const QPoint& point)
{
    const QScreen* screen = QGuiApplication::screenAt(point);
    if (!screen)
        screen = QGuiApplication::primaryScreen();
    return screen ? screen->availableGeometry() : QRect();
}

QRect TrayIconRect(const QRect& reported, const QRect& available, int edge)
{
    if (reported.isValid() || !available.isValid())
        return reported;
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

QRect TrayIconRect(const QRect& reported)
{
    if (reported.isValid())
        return reported;
    int edge = TaskbarEdge::Unknown;
    GetTaskbarGeometry(edge);
    const QScreen* screen = QGuiApplication::primaryScreen();
    return TrayIconRect(reported, screen ? screen->availableGeometry() : QRect(), edge);
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
