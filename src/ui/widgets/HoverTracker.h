#pragma once

#include <QObject>

class QWidget;

namespace Ui {

// Qt finds out what lies under the pointer only when the pointer moves: a
// button that a new page's layout moves away from a still pointer would keep
// its hover look until the pointer next crossed it, and look disabled. Watches
// the moves and resizes of one window's widgets and takes that look from
// those no longer under the pointer. GUI thread only; a child of the window.
class HoverTracker : public QObject {
public:
    explicit HoverTracker(QWidget* window);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QWidget* window;
};

} // namespace Ui
