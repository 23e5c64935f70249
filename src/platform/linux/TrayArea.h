#pragma once

#include <QPoint>
#include <QRect>

// Where the notification area is, for placing the popup beside its icon.

// The available area (what panels leave) of the screen that holds the point;
// the primary screen's when no screen holds it; null without any screen.
QRect AvailableAreaAt(const QPoint& point);

// The tray icon's rectangle to place the popup by. Trays reached through the
// StatusNotifier protocol report no rectangle at all; for them (and where no
// tray exists) a 1x1 rectangle stands in for the icon: inside the panel at the
// corner of the available area on the panel's edge (the far end along the
// panel: right for a horizontal panel, bottom for a vertical one), or at the
// available area's bottom-right corner when no panel is known.
QRect TrayIconRect(const QRect& reported);

// The computation behind it, from the rectangles alone; edge as TaskbarEdge.
QRect TrayIconRect(const QRect& reported, const QRect& available, int edge);

// Whether a notification area exists to show the tray icon in. The first
// time there is none it logs, once per process, that the program is then
// reached only by starting it again.
bool SystemTrayAvailable();
