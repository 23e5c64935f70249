#include "HoverTracker.h"

#include <QApplication>
#include <QCursor>
#include <QEvent>
#include <QWidget>

namespace Ui {

namespace {

// Sends a leave to every widget of moved's tree that is marked as under the
// pointer but no longer is; the leave clears the mark, the repaint the look.
void LeaveWhatThePointerLeft(QWidget* moved)
{
    const QWidget* pointed = QApplication::widgetAt(QCursor::pos());
    QList<QWidget*> widgets = moved->findChildren<QWidget*>();
    widgets.prepend(moved);
    for (QWidget* widget : widgets) {
        if (widget->underMouse() && widget != pointed && !widget->isAncestorOf(pointed)) {
            QEvent leave(QEvent::Leave);
            QCoreApplication::sendEvent(widget, &leave);
            widget->update();
        }
    }
}

} // namespace

HoverTracker::HoverTracker(QWidget* window)
    : QObject(window)
    , window(window)
{
    // A move reaches only the widget that moved, not its children.
    qApp->installEventFilter(this);
}

bool HoverTracker::eventFilter(QObject* watched, QEvent* event)
{
    if ((event->type() == QEvent::Move || event->type() == QEvent::Resize) && watched->isWidgetType()) {
        auto* widget = static_cast<QWidget*>(watched);
        if (widget->underMouse() && widget->window() == window)
            LeaveWhatThePointerLeft(widget);
    }
    return QObject::eventFilter(watched, event);
}

} // namespace Ui
