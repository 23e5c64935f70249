#pragma once

#include <QColor>
#include <QPainterPath>
#include <QPointF>
#include <QRectF>

class QPainter;

// The drawing vocabulary shared by every icon: palette, strokes and the small
// shapes (arrows, marks, badges, maps, sticks) the pictures are built from.
namespace Glyphs {

namespace Palette {
const QColor primary("#005691");
const QColor hover("#7FC6E7");
const QColor pressed("#008ECF");
const QColor disabled("#BFC0C2");
const QColor secondary("#7D8790");
const QColor grey("#606061");
const QColor error("#EA0016");
const QColor success("#78BE20");
const QColor white("#FFFFFF");
} // namespace Palette

// The word mark and glyph font; loaded once by the program before drawing.
void SetFontFamily(const QString& family);
QPainterPath TextPath(const QString& text, qreal pixelSize);

void Stroke(QPainter& painter, const QColor& color, qreal width);

void ArrowDown(QPainter& painter, QPointF top, qreal length, qreal head);
void Check(QPainter& painter, const QRectF& box);
void Cross(QPainter& painter, const QRectF& box);
void Plus(QPainter& painter, const QRectF& box);
void Exclamation(QPainter& painter, const QRectF& box, const QColor& color);
void ClockHands(QPainter& painter, QPointF centre, qreal radius);
void Chevron(QPainter& painter, const QRectF& box, bool up);

// A disc with a white ring around it, so it stands out when it overlaps a shape.
void Badge(QPainter& painter, QPointF centre, qreal radius, const QColor& fill);

// Shapes as paths, so that holes stay transparent.
QPainterPath FoldedMap(const QRectF& box);
QPainterPath UsbStick(const QRectF& box);
QPainterPath Gear(QPointF centre, qreal radius);
QPainterPath Triangle(const QRectF& box, qreal corner);
QPainterPath TrashCan(const QRectF& box);
QPainterPath Cloud(const QRectF& box);

// The fold lines of a FoldedMap drawn in the given colour.
void MapFolds(QPainter& painter, const QRectF& box, const QColor& color, qreal width);

// The application mark: a rounded primary square holding a white folded map.
void AppMark(QPainter& painter, const QRectF& box);

// A ring with a track and an arc of `fraction` (0..1) running clockwise from twelve o'clock.
void Ring(QPainter& painter, const QRectF& box, qreal width, const QColor& arc, qreal fraction);
// A spinner: a track and a short arc whose start turns with `turn` (0..1).
void Spinner(QPainter& painter, const QRectF& box, qreal width, qreal turn);

} // namespace Glyphs
