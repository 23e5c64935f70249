#include "WindowStacking.h"

#include <QWidget>
#include <QWindow>

void SetStaysOnTop(QWidget* widget, bool onTop)
{
    QWindow* window = widget->windowHandle();
    if (!window)
        return;
    window->setFlag(Qt::WindowStaysOnTopHint, onTop);
    if (onTop)
        window->raise();
}
