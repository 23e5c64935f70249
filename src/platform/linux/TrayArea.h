#pragma once

#include <QPoint>
#include <QRect>

// Where the notification area is, for placing the popup beside its icon.

// The available area (what panels leave) of the screen that holds the point;
// the primary screen's when no screen holds it; null without any screen.
QRect AvailableAreaAt(const QPoint& point);

// The tray icon's rectangle to place the popup by. Trays reached through the
// StatusNotifier protocol report no rectangle at all, and an XEmbed icon that
// has not docked yet reports its own window at the screen's origin, on no
// panel. For both (and where no tray exists) a 1x1 rectangle stands in for
// the icon: inside the panel at the corner of the available area on the
// panel's edge (the far end along the panel: right for a horizontal panel,
// bottom for a vertical one), or at the available area's bottom-right corner
// when no panel is known. Read on the primary screen.
QRect TrayIconRect(const QRect& reported);

// The computation behind it, from the primary screen's full and available
// geometry. A rectangle on another screen is kept as reported.
QRect TrayIconRect(const QRect& reported, const QRect& screen, const QRect& available);

// Whether a notification area exists to show the tray icon in. The first
// time there is none it logs, once per process, that the program is then
// reached only by starting it again.
bool SystemTrayAvailable();
