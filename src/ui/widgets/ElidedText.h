#pragma once

#include <QObject>
#include <QString>

class QLabel;

namespace Ui {

// Keeps a text that may be longer than its label within the label's width:
// elided with an ellipsis to the width the layout gives the label, again at
// every resize, and the whole text (up to a bound) shown on hover. Only a
// bounded part of the text ever reaches the label, so a name of megabytes
// costs no more to lay out than a short one. GUI thread only; a child of the
// label.
class ElidedText : public QObject {
public:
    ElidedText(QLabel* label, Qt::TextElideMode mode);

    void SetText(const QString& text);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Elide();

    QLabel* label;
    Qt::TextElideMode mode;
    QString text;
    bool laidOut = false;
};

} // namespace Ui
