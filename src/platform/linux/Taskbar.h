#pragma once

#include <QRect>

// The side of the screen the desktop's panel (the "taskbar") sits on.
namespace TaskbarEdge {
enum Value : int { Unknown = -1, Bottom = 0, Left = 1, Right = 2, Top = 3 };
} // namespace TaskbarEdge

// The panel's rectangle on the primary screen, with its edge written to edge.
// The panel is the strip by which the screen's available geometry (what window
// managers leave after panel struts) is inset from its full geometry. No inset
// or no screen: the null rectangle and TaskbarEdge::Unknown.
QRect GetTaskbarGeometry(int& edge);

// As above; where several sides are inset (a top bar and a dock), the strip
// that holds the tray icon's rectangle wins.
QRect GetTaskbarGeometry(int& edge, const QRect& trayIcon);

// The computation behind both, from the rectangles alone. A null trayIcon
// means its position is unknown; then the widest strip wins.
QRect TaskbarFromScreen(const QRect& screen, const QRect& available, const QRect& trayIcon, int& edge);
