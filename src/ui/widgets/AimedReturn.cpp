#include "AimedReturn.h"

#include <QApplication>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QPushButton>

namespace Ui {

AimedReturn::AimedReturn(QWidget* window)
    : QObject(window)
    , window(window)
{
    // Focus events reach only the widget itself, and a key the focused
    // button takes never reaches the window.
    qApp->installEventFilter(this);
}

bool AimedReturn::eventFilter(QObject* watched, QEvent* event)
{
    const QEvent::Type type = event->type();
    if ((type != QEvent::FocusIn && type != QEvent::FocusOut && type != QEvent::MouseButtonPress
            && type != QEvent::KeyPress)
        || !watched->isWidgetType() || static_cast<QWidget*>(watched)->window() != window)
        return QObject::eventFilter(watched, event);
    auto* widget = static_cast<QWidget*>(watched);
    if (type == QEvent::FocusOut && (!widget->isEnabled() || !widget->isVisible()))
        movedByProgram = QApplication::focusWidget(); // the focus already stands on its next control
    else if (type == QEvent::FocusIn)
        FocusIn(widget, static_cast<QFocusEvent*>(event)->reason());
    else if (type == QEvent::MouseButtonPress && (widget->focusPolicy() & Qt::ClickFocus))
        Aim(qobject_cast<QPushButton*>(widget)); // it may have had the focus already
    else if (type == QEvent::KeyPress && PressesAimed(widget, event)) {
        aimed->click();
        return true;
    }
    return QObject::eventFilter(watched, event);
}

void AimedReturn::FocusIn(QWidget* widget, Qt::FocusReason reason)
{
    const bool moved = widget == movedByProgram;
    movedByProgram = nullptr;
    // Coming back to the window, the focus returns where the user left it.
    if (reason == Qt::ActiveWindowFocusReason || reason == Qt::PopupFocusReason)
        return;
    const bool tabbed = reason == Qt::TabFocusReason || reason == Qt::BacktabFocusReason;
    // A dialog being shown also tells its remembered focus widget of a Tab, before it has the focus.
    Aim(tabbed && !moved && widget->hasFocus() ? qobject_cast<QPushButton*>(widget) : nullptr);
}

void AimedReturn::Aim(QPushButton* button)
{
    aimed = button;
    aimedText = button ? button->text() : QString();
}

bool AimedReturn::Aims(const QWidget* widget) const
{
    return aimed && widget == aimed.data() && aimed->isVisible() && aimed->isEnabled() && aimed->text() == aimedText;
}

bool AimedReturn::PressesAimed(const QWidget* receiver, const QEvent* event) const
{
    const auto* key = static_cast<const QKeyEvent*>(event);
    const bool plain
        = key->modifiers() == Qt::NoModifier || (key->modifiers() == Qt::KeypadModifier && key->key() == Qt::Key_Enter);
    return (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) && plain && Aims(receiver);
}

} // namespace Ui
