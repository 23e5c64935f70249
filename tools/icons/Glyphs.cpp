#include "Glyphs.h"

#include <QFont>
#include <QPainter>
#include <QPainterPathStroker>
#include <QPolygonF>

namespace Glyphs {

namespace {

QString fontFamily;

// A point given in fractions of the box.
QPointF At(const QRectF& box, qreal fx, qreal fy)
{
    return {box.x() + fx * box.width(), box.y() + fy * box.height()};
}

QRectF Part(const QRectF& box, qreal fx, qreal fy, qreal fw, qreal fh)
{
    return {At(box, fx, fy), QSizeF(fw * box.width(), fh * box.height())};
}

QPainterPath Disc(QPointF centre, qreal radius)
{
    QPainterPath path;
    path.addEllipse(centre, radius, radius);
    return path;
}

QPainterPath RoundedBox(const QRectF& box, qreal radius)
{
    QPainterPath path;
    path.addRoundedRect(box, radius, radius);
    return path;
}

} // namespace

void SetFontFamily(const QString& family)
{
    fontFamily = family;
}

QPainterPath TextPath(const QString& text, qreal pixelSize)
{
    QFont font(fontFamily);
    font.setPixelSize(qRound(pixelSize));
    font.setWeight(QFont::Bold);
    font.setHintingPreference(QFont::PreferNoHinting);
    QPainterPath path;
    path.addText(0, 0, font, text);
    return path;
}

void Stroke(QPainter& painter, const QColor& color, qreal width)
{
    painter.setPen(QPen(color, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    painter.setBrush(Qt::NoBrush);
}

void ArrowDown(QPainter& painter, QPointF top, qreal length, qreal head)
{
    const QPointF tip = top + QPointF(0, length);
    painter.drawLine(top, tip);
    const QPointF wing[] = {tip + QPointF(-head, -head), tip, tip + QPointF(head, -head)};
    painter.drawPolyline(wing, 3);
}

void Check(QPainter& painter, const QRectF& box)
{
    const QPointF points[] = {At(box, 0.16, 0.54), At(box, 0.40, 0.78), At(box, 0.84, 0.26)};
    painter.drawPolyline(points, 3);
}

void Cross(QPainter& painter, const QRectF& box)
{
    painter.drawLine(box.topLeft(), box.bottomRight());
    painter.drawLine(box.topRight(), box.bottomLeft());
}

void Plus(QPainter& painter, const QRectF& box)
{
    painter.drawLine(At(box, 0.5, 0), At(box, 0.5, 1));
    painter.drawLine(At(box, 0, 0.5), At(box, 1, 0.5));
}

void Exclamation(QPainter& painter, const QRectF& box, const QColor& color)
{
    const qreal w = box.width();
    painter.setPen(Qt::NoPen);
    painter.setBrush(color);
    painter.drawRoundedRect(QRectF(box.x(), box.y(), w, box.height() - 1.6 * w), w / 2, w / 2);
    painter.drawEllipse(QPointF(box.center().x(), box.bottom() - w * 0.55), w * 0.55, w * 0.55);
}

void ClockHands(QPainter& painter, QPointF centre, qreal radius)
{
    const QPointF hands[] = {centre + QPointF(0, -0.62 * radius), centre, centre + QPointF(0.46 * radius, 0)};
    painter.drawPolyline(hands, 3);
}

void Chevron(QPainter& painter, const QRectF& box, bool up)
{
    const qreal near = up ? 1 : 0;
    const QPointF points[] = {At(box, 0, near), At(box, 0.5, 1 - near), At(box, 1, near)};
    painter.drawPolyline(points, 3);
}

void Badge(QPainter& painter, QPointF centre, qreal radius, const QColor& fill)
{
    painter.setPen(Qt::NoPen);
    painter.setBrush(Palette::white);
    painter.drawEllipse(centre, radius, radius);
    painter.setBrush(fill);
    const qreal inner = radius * 0.84;
    painter.drawEllipse(centre, inner, inner);
}

QPainterPath FoldedMap(const QRectF& box)
{
    const QPolygonF outline({At(box, 0, 0.12), At(box, 1.0 / 3, 0), At(box, 2.0 / 3, 0.12), At(box, 1, 0),
        At(box, 1, 0.88), At(box, 2.0 / 3, 1), At(box, 1.0 / 3, 0.88), At(box, 0, 1)});
    QPainterPath path;
    path.addPolygon(outline);
    path.closeSubpath();
    return path;
}

void MapFolds(QPainter& painter, const QRectF& box, const QColor& color, qreal width)
{
    painter.setPen(QPen(color, width, Qt::SolidLine, Qt::FlatCap));
    painter.drawLine(At(box, 1.0 / 3, 0), At(box, 1.0 / 3, 0.88));
    painter.drawLine(At(box, 2.0 / 3, 0.12), At(box, 2.0 / 3, 1));
}

QPainterPath UsbStick(const QRectF& box)
{
    QPainterPath plug;
    plug.addRect(Part(box, 0.28, 0, 0.44, 0.40));
    QPainterPath holes;
    holes.addRect(Part(box, 0.37, 0.12, 0.09, 0.11));
    holes.addRect(Part(box, 0.54, 0.12, 0.09, 0.11));
    const QPainterPath body = RoundedBox(Part(box, 0.08, 0.36, 0.84, 0.64), 0.16 * box.width());
    return body.united(plug.subtracted(holes));
}

QPainterPath Gear(QPointF centre, qreal radius)
{
    QPainterPath gear = Disc(centre, 0.70 * radius);
    for (int tooth = 0; tooth < 8; ++tooth) {
        QTransform turn;
        turn.translate(centre.x(), centre.y());
        turn.rotate(tooth * 45.0);
        const QRectF toothBox(-0.17 * radius, -radius, 0.34 * radius, 0.5 * radius);
        gear = gear.united(turn.map(RoundedBox(toothBox, 0.06 * radius)));
    }
    return gear.subtracted(Disc(centre, 0.30 * radius));
}

QPainterPath Triangle(const QRectF& box, qreal corner)
{
    const QRectF inner = box.adjusted(corner, corner, -corner, -corner * 0.6);
    QPainterPath path;
    path.addPolygon(QPolygonF({At(inner, 0.5, 0), At(inner, 1, 1), At(inner, 0, 1)}));
    path.closeSubpath();
    QPainterPathStroker stroker;
    stroker.setWidth(2 * corner);
    stroker.setJoinStyle(Qt::RoundJoin);
    return path.united(stroker.createStroke(path)).simplified();
}

QPainterPath TrashCan(const QRectF& box)
{
    const qreal w = box.width();
    QPainterPath can = RoundedBox(Part(box, 0, 0.12, 1, 0.11), 0.04 * w);
    can.addRoundedRect(Part(box, 0.34, 0, 0.32, 0.16), 0.04 * w, 0.04 * w);
    QPainterPath body;
    body.addPolygon(QPolygonF({At(box, 0.1, 0.29), At(box, 0.9, 0.29), At(box, 0.82, 1), At(box, 0.18, 1)}));
    body.closeSubpath();
    QPainterPath slits;
    for (const qreal x : {0.29, 0.46, 0.63})
        slits.addRoundedRect(Part(box, x, 0.4, 0.08, 0.48), 0.04 * w, 0.04 * w);
    return can.united(body).subtracted(slits);
}

QPainterPath Cloud(const QRectF& box)
{
    const qreal h = box.height();
    QPainterPath cloud = RoundedBox(Part(box, 0, 0.46, 1, 0.54), 0.27 * h);
    cloud = cloud.united(Disc(At(box, 0.32, 0.52), 0.26 * h));
    cloud = cloud.united(Disc(At(box, 0.58, 0.40), 0.38 * h));
    return cloud.simplified();
}

void AppMark(QPainter& painter, const QRectF& box)
{
    const qreal w = box.width();
    painter.setPen(Qt::NoPen);
    painter.setBrush(Palette::primary);
    painter.drawRoundedRect(box, 0.22 * w, 0.22 * w);
    const QRectF map = Part(box, 0.19, 0.24, 0.62, 0.52);
    painter.setBrush(Palette::white);
    painter.drawPath(FoldedMap(map));
    MapFolds(painter, map, Palette::primary, 0.045 * w);
}

void Ring(QPainter& painter, const QRectF& box, qreal width, const QColor& arc, qreal fraction)
{
    const QRectF circle = box.adjusted(width / 2, width / 2, -width / 2, -width / 2);
    Stroke(painter, Palette::disabled, width);
    painter.drawEllipse(circle);
    Stroke(painter, arc, width);
    if (fraction >= 1)
        painter.drawEllipse(circle);
    else if (fraction > 0)
        painter.drawArc(circle, 90 * 16, -qRound(fraction * 360 * 16));
}

void Spinner(QPainter& painter, const QRectF& box, qreal width, qreal turn)
{
    const QRectF circle = box.adjusted(width / 2, width / 2, -width / 2, -width / 2);
    Stroke(painter, Palette::disabled, width);
    painter.drawEllipse(circle);
    Stroke(painter, Palette::primary, width);
    painter.drawArc(circle, qRound((90 - turn * 360) * 16), -100 * 16);
}

} // namespace Glyphs
