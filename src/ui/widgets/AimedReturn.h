#pragma once

#include <QObject>
#include <QPointer>
#include <QString>

class QPushButton;
class QWidget;

namespace Ui {

// Return presses the push button of one window that the user put the focus
// on, by Tab or a click; anywhere else it goes on to the window, whose page
// names the default that takes it. The program moves the focus too: when the
// window is shown or activated, a page switched, or a focused control disabled
// or hidden. A button it reached that way, or whose text has changed since the
// user chose it, is not what the user aimed at. The buttons stay without
// auto-default: a dialog would otherwise hand its default from button to
// button as the focus moves, and bring back one its page no longer names.
// GUI thread only; a child of the window.
class AimedReturn : public QObject {
public:
    explicit AimedReturn(QWidget* window);

    // Whether Return would press that control: the button the user chose, still offered under its text.
    bool Aims(const QWidget* widget) const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void FocusIn(QWidget* widget, Qt::FocusReason reason);
    void Aim(QPushButton* button);
    bool PressesAimed(const QWidget* receiver, const QEvent* event) const;

    QWidget* window;
    QPointer<QPushButton> aimed;
    QString aimedText;
    // Where the focus went when it left a control that was disabled or hidden.
    QPointer<QWidget> movedByProgram;
};

} // namespace Ui
