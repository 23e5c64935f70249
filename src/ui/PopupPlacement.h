#pragma once

#include <QRect>
#include <QSize>

namespace Ui {

// What the popup is placed by, all in screen pixels.
struct PopupPlacement {
    QRect outer; // the popup's window rectangle, frame included
    QSize client; // the size of its client area
    QRect tray; // the tray icon's rectangle; may be invalid
    QRect taskbar; // the panel's rectangle
    int edge = -1; // the panel's edge, as TaskbarEdge (-1 unknown)
    QRect area; // the available area of the screen holding the icon; a null one limits nothing
};

// Where the popup goes: beside the tray icon on the panel's side, centred on
// the icon along a horizontal panel and level with its bottom along a vertical
// one, kept inside the available area on every side. With an invalid tray
// rectangle or an unknown edge it keeps its top-left corner and client size.
QRect PlacePopup(const PopupPlacement& in);

} // namespace Ui
