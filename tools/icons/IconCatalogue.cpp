#include "IconCatalogue.h"

#include "Glyphs.h"

#include <QImage>
#include <QPainter>

using namespace Glyphs;
using Draw = std::function<void(QPainter&, const QRectF&)>;

QImage Icon::Render() const
{
    QImage image(size, QImage::Format_ARGB32_Premultiplied);
    image.fill(opaque ? Qt::white : Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    draw(painter, QRectF(QPointF(0, 0), size));
    painter.end();
    return image;
}

namespace {

const int progressFrames = 32;
const int spinnerFrames = 18;
const QStringList regions = {"EUR", "NAM"};

void FillPath(QPainter& painter, const QPainterPath& path, const QColor& color)
{
    painter.setPen(Qt::NoPen);
    painter.setBrush(color);
    painter.drawPath(path);
}

// Draws the following strokes and fills as holes.
void Cut(QPainter& painter)
{
    painter.setCompositionMode(QPainter::CompositionMode_Clear);
}

// The text path moved so that its bounding box is centred on `centre`.
QPainterPath Centred(const QPainterPath& path, QPointF centre)
{
    return path.translated(centre - path.boundingRect().center());
}

// "Tessaly", optionally led by the application mark, centred in the box.
void WordMark(QPainter& painter, const QRectF& box, qreal pixelSize, bool withMark)
{
    const QPainterPath text = TextPath("Tessaly", pixelSize);
    const QRectF bounds = text.boundingRect();
    const qreal mark = withMark ? 1.5 * pixelSize : 0;
    const qreal gap = withMark ? 0.4 * pixelSize : 0;
    const qreal left = box.center().x() - (mark + gap + bounds.width()) / 2;
    if (withMark)
        AppMark(painter, QRectF(left, box.center().y() - mark / 2, mark, mark));
    // Centre the letters on x-height rather than on their box, so the descender of "y" does not lift the word.
    const QRectF xBox = TextPath("x", pixelSize).boundingRect();
    const QPointF origin(left + mark + gap - bounds.left(), box.center().y() - xBox.center().y());
    FillPath(painter, text.translated(origin), Palette::primary);
}

void BadgeExclamation(QPainter& p, QPointF c, qreal r)
{
    const qreal w = 0.24 * r;
    Exclamation(p, QRectF(c.x() - w / 2, c.y() - 0.58 * r, w, 1.16 * r), Palette::white);
}

void BadgeArrow(QPainter& p, QPointF c, qreal r)
{
    Stroke(p, Palette::white, 0.2 * r);
    ArrowDown(p, c - QPointF(0, 0.5 * r), r, 0.38 * r);
}

void BadgeCheck(QPainter& p, QPointF c, qreal r)
{
    Stroke(p, Palette::white, 0.2 * r);
    Check(p, QRectF(c.x() - 0.55 * r, c.y() - 0.55 * r, 1.1 * r, 1.1 * r));
}

void BadgePlus(QPainter& p, QPointF c, qreal r)
{
    Stroke(p, Palette::white, 0.2 * r);
    Plus(p, QRectF(c.x() - 0.45 * r, c.y() - 0.45 * r, 0.9 * r, 0.9 * r));
}

void BadgeCross(QPainter& p, QPointF c, qreal r)
{
    Stroke(p, Palette::white, 0.2 * r);
    Cross(p, QRectF(c.x() - 0.34 * r, c.y() - 0.34 * r, 0.68 * r, 0.68 * r));
}

void BadgeClock(QPainter& p, QPointF c, qreal r)
{
    Stroke(p, Palette::white, 0.18 * r);
    ClockHands(p, c + QPointF(-0.08 * r, 0.08 * r), r);
}

using BadgeGlyph = void (*)(QPainter&, QPointF, qreal);

void StatusBadge(QPainter& p, QPointF centre, qreal radius, const QColor& fill, BadgeGlyph glyph)
{
    Badge(p, centre, radius, fill);
    glyph(p, centre, radius);
}

// The application mark, with room for a status badge at its lower right.
Draw Tray(const QColor& badge, BadgeGlyph glyph)
{
    return [=](QPainter& p, const QRectF& box) {
        // The mark keeps its place in every state, so the icon does not jump when a badge comes or goes.
        const qreal s = box.width();
        AppMark(p, QRectF(0, 0, 0.86 * s, 0.86 * s));
        if (glyph)
            StatusBadge(p, QPointF(0.73 * s, 0.73 * s), 0.27 * s, badge, glyph);
    };
}

// A shape in the upper left with a status badge at its lower right.
Draw WithBadge(const std::function<void(QPainter&, const QRectF&)>& shape, const QColor& badge, BadgeGlyph glyph)
{
    return [=](QPainter& p, const QRectF& box) {
        shape(p, box);
        const qreal radius = 0.23 * box.width();
        StatusBadge(p, QPointF(box.right() - radius, box.bottom() - radius), radius, badge, glyph);
    };
}

void ContentMap(QPainter& p, const QRectF& box, const QColor& color)
{
    const qreal s = box.width();
    const QRectF map(0.04 * s, 0.12 * s, 0.76 * s, 0.64 * s);
    FillPath(p, FoldedMap(map), color);
    MapFolds(p, map, Palette::white, 0.05 * s);
}

void Gears(QPainter& p, const QRectF& box, const QColor& color)
{
    FillPath(p, Gear(box.center(), 0.36 * box.width()), color);
}

void Help(QPainter& p, const QRectF& box, const QColor& color)
{
    const qreal r = 0.36 * box.width();
    QPainterPath disc;
    disc.addEllipse(box.center(), r, r);
    const QPainterPath mark = Centred(TextPath("?", 1.45 * r), box.center());
    FillPath(p, disc.subtracted(mark), color);
}

void DropArrow(QPainter& p, const QRectF& box, bool up, const QColor& color)
{
    Stroke(p, color, 1.8);
    Glyphs::Chevron(p, box.adjusted(1.2, 1.2, -1.2, -1.2), up);
}

// The region code on a rounded tile, with a status badge overlapping its lower right corner.
Draw MapRow(const QString& region, const QColor& badge, BadgeGlyph glyph)
{
    return [=](QPainter& p, const QRectF& box) {
        const QRectF tile(box.x() + 1, box.y() + 2, box.width() - 6, box.height() - 13);
        p.setPen(Qt::NoPen);
        p.setBrush(Palette::primary);
        p.drawRoundedRect(tile, 5, 5);
        const QPainterPath code = TextPath(region, 11);
        FillPath(p, Centred(code, {tile.center().x() - 2, tile.top() + 10}), Palette::white);
        StatusBadge(p, QPointF(box.right() - 9, box.bottom() - 9), 9, badge, glyph);
    };
}

// A USB stick with a mark cut out of its body.
Draw StatusStick(const QColor& color, const std::function<void(QPainter&, const QRectF&)>& mark)
{
    return [=](QPainter& p, const QRectF& box) {
        const QRectF stick(box.x() + 5, box.y() + 1, box.width() - 10, box.height() - 2);
        FillPath(p, UsbStick(stick), color);
        Cut(p);
        mark(p, QRectF(stick.x(), stick.y() + 0.36 * stick.height(), stick.width(), 0.64 * stick.height()));
    };
}

void HeadUnit(QPainter& p, const QRectF&)
{
    QPainterPath screen;
    screen.addRoundedRect(QRectF(0.5, 1.5, 16, 11.5), 2, 2);
    QPainterPath glass;
    glass.addRoundedRect(QRectF(2.2, 3.2, 12.6, 8.1), 0.8, 0.8);
    // A map pin on the screen.
    QPainterPath cursor;
    cursor.addEllipse(QPointF(8.5, 6.3), 2.3, 2.3);
    cursor.addPolygon(QPolygonF({QPointF(6.4, 7.2), QPointF(10.6, 7.2), QPointF(8.5, 10.3)}));
    cursor = cursor.simplified().subtracted([] {
        QPainterPath hole;
        hole.addEllipse(QPointF(8.5, 6.3), 0.9, 0.9);
        return hole;
    }());
    QPainterPath stand;
    stand.addRect(QRectF(7, 12.5, 3, 2.5));
    stand.addRoundedRect(QRectF(4, 15, 9, 2.2), 1, 1);
    FillPath(p, screen.subtracted(glass).united(cursor).united(stand), Palette::primary);
}

void Footer(std::vector<IconGroup>& groups)
{
    IconGroup footer {"Footer: stick list button 12 x 7, panel icons 17 x 18", false, true, {}};
    const std::pair<const char*, QColor> variants[]
        = {{"", Palette::primary}, {"_hover", Palette::hover}, {"_pressed", Palette::pressed}};
    for (const bool up : {false, true}) {
        for (const auto& [suffix, color] : variants) {
            const QString name = QString("ic_dropdown_arrow_%1%2.png").arg(up ? "up" : "down", suffix);
            const QColor c = color;
            footer.icons.push_back({name, {12, 7}, [=](QPainter& p, const QRectF& b) { DropArrow(p, b, up, c); }});
        }
    }
    footer.icons.push_back({"ic_footer_head-unit.png", {17, 18}, HeadUnit});
    footer.icons.push_back({"ic_footer_usb.png", {17, 18}, [](QPainter& p, const QRectF&) {
                                FillPath(p, UsbStick({3, 0.5, 11, 17}), Palette::primary);
                            }});
    groups.push_back(footer);
}

void Application(std::vector<IconGroup>& groups)
{
    IconGroup app {"Window and tray", false, true, {}};
    app.icons.push_back(
        {"PNG/256.png", {256, 256}, [](QPainter& p, const QRectF& b) { AppMark(p, b.adjusted(8, 8, -8, -8)); }});
    app.icons.push_back({"ic_win_default.png", {64, 64}, Tray(Palette::primary, nullptr)});
    app.icons.push_back({"ic_win_attention.png", {64, 64}, Tray(Palette::error, BadgeExclamation)});
    app.icons.push_back({"ic_win_progress.png", {64, 64}, Tray(Palette::pressed, BadgeArrow)});
    app.icons.push_back({"ic_win_finished.png", {64, 64}, Tray(Palette::success, BadgeCheck)});
    groups.push_back(app);

    IconGroup logos {"Logos", false, true, {}};
    logos.icons.push_back(
        {"logo_header.png", {106, 70}, [](QPainter& p, const QRectF& b) { WordMark(p, b, 21, false); }});
    logos.icons.push_back(
        {"logo_footer.png", {118, 54}, [](QPainter& p, const QRectF& b) { WordMark(p, b, 17, true); }});
    logos.icons.push_back(
        {"logo_popup.png", {240, 52}, [](QPainter& p, const QRectF& b) { WordMark(p, b, 22, true); }});
    groups.push_back(logos);
}

void Header(std::vector<IconGroup>& groups)
{
    IconGroup header {"Header buttons 38 x 38", false, true, {}};
    const std::pair<const char*, QColor> settings[]
        = {{"ic_settings.png", Palette::secondary}, {"ic_settings_hover.png", Palette::hover},
            {"ic_settings_active.png", Palette::primary}, {"ic_settings_disabled.png", Palette::disabled}};
    for (const auto& [name, color] : settings) {
        const QColor c = color;
        header.icons.push_back({name, {38, 38}, [=](QPainter& p, const QRectF& b) { Gears(p, b, c); }});
    }
    const std::pair<const char*, QColor> help[] = {{"ic_help.png", Palette::secondary},
        {"ic_help_hover.png", Palette::hover}, {"ic_help_active.png", Palette::pressed}};
    for (const auto& [name, color] : help) {
        const QColor c = color;
        header.icons.push_back({name, {38, 38}, [=](QPainter& p, const QRectF& b) { Help(p, b, c); }});
    }
    groups.push_back(header);
}

void BannerAndPages(std::vector<IconGroup>& groups)
{
    IconGroup pages {"Banner 42 x 42, message pages 72 x 72", false, true, {}};
    pages.icons.push_back({"notification-downloading.png", {42, 42}, [](QPainter& p, const QRectF& b) {
                               p.setPen(Qt::NoPen);
                               p.setBrush(Palette::primary);
                               p.drawEllipse(b.adjusted(1, 1, -1, -1));
                               Stroke(p, Palette::white, 3.2);
                               ArrowDown(p, {21, 10.5}, 16, 6.5);
                               p.drawLine(QPointF(13, 31), QPointF(29, 31));
                           }});
    pages.icons.push_back({"notification-pending.png", {42, 42}, [](QPainter& p, const QRectF& b) {
                               p.setPen(Qt::NoPen);
                               p.setBrush(Palette::primary);
                               p.drawEllipse(b.adjusted(1, 1, -1, -1));
                               Stroke(p, Palette::white, 3);
                               p.drawEllipse(b.center(), 11.5, 11.5);
                               ClockHands(p, b.center(), 11);
                           }});
    pages.icons.push_back({"ic_warning_big.png", {72, 72}, [](QPainter& p, const QRectF& b) {
                               FillPath(p, Triangle(b.adjusted(3, 5, -3, -3), 5), Palette::primary);
                               Exclamation(p, QRectF(32.5, 25, 7, 33), Palette::white);
                           }});
    groups.push_back(pages);
}

void Rings(std::vector<IconGroup>& groups)
{
    IconGroup download {"ic_progress_72/ic_progress_%1.png, 0 to 32", true, true, {}};
    IconGroup deletion {
        "ic_delete_72/ic_delete_%1.png, 0 to 32 (shown while the download is removed: 32 down to 0)", true, true, {}};
    for (int n = 0; n <= progressFrames; ++n) {
        const qreal fraction = qreal(n) / progressFrames;
        download.icons.push_back(
            {QString("ic_progress_72/ic_progress_%1.png").arg(n), {72, 72}, [=](QPainter& p, const QRectF& b) {
                 Ring(p, b.adjusted(3, 3, -3, -3), 6, Palette::primary, fraction);
                 Stroke(p, Palette::primary, 4);
                 ArrowDown(p, {36, 24}, 22, 8);
             }});
        deletion.icons.push_back(
            {QString("ic_delete_72/ic_delete_%1.png").arg(n), {72, 72}, [=](QPainter& p, const QRectF& b) {
                 Ring(p, b.adjusted(3, 3, -3, -3), 6, Palette::error, fraction);
                 FillPath(p, TrashCan({26.5, 24, 19, 24}), Palette::error);
             }});
    }
    groups.push_back(download);
    groups.push_back(deletion);
}

void MapRows(std::vector<IconGroup>& groups)
{
    IconGroup rows {"Map rows 42 x 38: root, optional, up to date, pending", false, true, {}};
    for (const QString& region : regions) {
        rows.icons.push_back(
            {"ic_map_root_" + region + ".png", {42, 38}, MapRow(region, Palette::primary, BadgeArrow)});
        rows.icons.push_back(
            {"ic_map_optional_" + region + ".png", {42, 38}, MapRow(region, Palette::pressed, BadgePlus)});
        rows.icons.push_back(
            {"ic_map_uptodate_" + region + ".png", {42, 38}, MapRow(region, Palette::success, BadgeCheck)});
        rows.icons.push_back(
            {"ic_map_pending_" + region + ".png", {42, 38}, MapRow(region, Palette::secondary, BadgeClock)});
    }
    groups.push_back(rows);
}

void Popup(std::vector<IconGroup>& groups)
{
    IconGroup popup {
        "Popup: status 24 x 24, content 48 x 48, link 20 x 20; settings check box 16 x 16", false, true, {}};
    popup.icons.push_back(
        {"ic_connected.png", {24, 24}, StatusStick(Palette::success, [](QPainter& p, const QRectF& b) {
             Stroke(p, Qt::black, 2);
             Check(p, b.adjusted(1.5, 1.5, -1.5, -1.5));
         })});
    popup.icons.push_back(
        {"ic_device_notification.png", {24, 24}, StatusStick(Palette::error, [](QPainter& p, const QRectF& b) {
             Exclamation(p, QRectF(b.center().x() - 1.1, b.y() + 2, 2.2, b.height() - 4), Qt::black);
         })});
    const auto map = [](const QColor& color) { return [=](QPainter& p, const QRectF& b) { ContentMap(p, b, color); }; };
    popup.icons.push_back(
        {"ic_full_update_required.png", {48, 48}, WithBadge(map(Palette::primary), Palette::error, BadgeExclamation)});
    popup.icons.push_back(
        {"ic_full_update_available.png", {48, 48}, WithBadge(map(Palette::primary), Palette::pressed, BadgeArrow)});
    popup.icons.push_back(
        {"ic_full_update_updated.png", {48, 48}, WithBadge(map(Palette::primary), Palette::success, BadgeCheck)});
    popup.icons.push_back(
        {"ic_map_expired.png", {48, 48}, WithBadge(map(Palette::secondary), Palette::error, BadgeClock)});
    popup.icons.push_back({"ic_connect_usb.png", {48, 48},
        WithBadge(
            [](QPainter& p, const QRectF&) {
                FillPath(p, Cloud({2, 10, 38, 24}), Palette::secondary);
            },
            Palette::error, BadgeCross)});
    popup.icons.push_back({"ic_error_big.png", {48, 48}, [](QPainter& p, const QRectF& b) {
                               p.setPen(Qt::NoPen);
                               p.setBrush(Palette::error);
                               p.drawEllipse(b.adjusted(2, 2, -2, -2));
                               Exclamation(p, QRectF(21.5, 11, 5, 26), Palette::white);
                           }});
    popup.icons.push_back({"chevron-forward.png", {20, 20}, [](QPainter& p, const QRectF&) {
                               Stroke(p, Palette::primary, 2.2);
                               const QPointF points[] = {{7.5, 4}, {13.5, 10}, {7.5, 16}};
                               p.drawPolyline(points, 3);
                           }});
    popup.icons.push_back({"ic_checkbox_filled.png", {16, 16}, [](QPainter& p, const QRectF& b) {
                               p.setPen(Qt::NoPen);
                               p.setBrush(Palette::primary);
                               p.drawRoundedRect(b, 2, 2);
                               Stroke(p, Palette::white, 2);
                               Check(p, b.adjusted(2, 2, -2, -2));
                           }});
    groups.push_back(popup);
}

void Spinners(std::vector<IconGroup>& groups)
{
    IconGroup small {"ic_spinner_1414/ic_spinner_%1.png, 1 to 18", true, true, {}};
    IconGroup gif {"ic_spinner.gif: 48 x 48 frames on white, played in order", true, false, {}};
    for (int n = 1; n <= spinnerFrames; ++n) {
        const qreal turn = qreal(n - 1) / spinnerFrames;
        small.icons.push_back({QString("ic_spinner_1414/ic_spinner_%1.png").arg(n), {14, 14},
            [=](QPainter& p, const QRectF& b) { Spinner(p, b.adjusted(0.5, 0.5, -0.5, -0.5), 2, turn); }});
        Icon frame {QString("spinner_%1.png").arg(n, 2, 10, QChar('0')), {48, 48},
            [=](QPainter& p, const QRectF& b) { Spinner(p, b.adjusted(4, 4, -4, -4), 5, turn); }};
        frame.opaque = true;
        gif.icons.push_back(frame);
    }
    groups.push_back(small);
    groups.push_back(gif);
}

} // namespace

std::vector<IconGroup> IconCatalogue()
{
    std::vector<IconGroup> groups;
    Application(groups);
    Header(groups);
    BannerAndPages(groups);
    Rings(groups);
    Footer(groups);
    MapRows(groups);
    Popup(groups);
    Spinners(groups);
    return groups;
}
