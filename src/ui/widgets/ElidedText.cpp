#include "ElidedText.h"

#include <QEvent>
#include <QFontMetrics>
#include <QLabel>
#include <QScreen>
#include <QTextDocument>

#include <algorithm>

namespace Ui {

namespace {

// A tooltip wraps at about 80 characters; this many lines are enough for any
// name a person would read.
constexpr int kToolTipCharacters = 2000;
const QChar kEllipsis(0x2026);

// The text elided to width pixels in the font. No glyph worth showing is
// narrower than a pixel, so what lies beyond that many characters from the
// kept end(s) is elided in any case and never measured: the cost does not
// grow with the text.
QString ElideBounded(const QString& text, const QFontMetrics& metrics, int width, Qt::TextElideMode mode)
{
    const int keep = std::max(width, 0) + 1;
    if (text.size() <= 2 * keep)
        return metrics.elidedText(text, mode, width);
    const QString bounded = text.left(keep) + kEllipsis + (mode == Qt::ElideMiddle ? text.right(keep) : QString());
    return metrics.elidedText(bounded, mode, width);
}

} // namespace

ElidedText::ElidedText(QLabel* label, Qt::TextElideMode mode)
    : QObject(label)
    , label(label)
    , mode(mode)
{
    label->installEventFilter(this);
}

void ElidedText::SetText(const QString& value)
{
    text = value;
    Elide();
}

bool ElidedText::eventFilter(QObject* watched, QEvent* event)
{
    laidOut = laidOut || event->type() == QEvent::Resize;
    if (event->type() == QEvent::Resize || event->type() == QEvent::FontChange)
        Elide();
    return QObject::eventFilter(watched, event);
}

void ElidedText::Elide()
{
    // Until its first resize the label has no width of its own yet (it gets
    // one before it shows): a screen's width keeps whole any text that could fit.
    const int width
        = laidOut ? label->contentsRect().width() - 2 * label->margin() : label->screen()->availableGeometry().width();
    const QString shown = ElideBounded(text, label->fontMetrics(), width, mode);
    label->setText(shown);
    const QString whole = text.size() > kToolTipCharacters ? text.left(kToolTipCharacters) + kEllipsis : text;
    // Markup in the text is shown as it is; rich text makes a long tooltip wrap.
    label->setToolTip(shown == text ? QString() : Qt::convertFromPlainText(whole));
}

} // namespace Ui
