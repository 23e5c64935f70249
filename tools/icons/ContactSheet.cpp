#include "ContactSheet.h"

#include <QFileInfo>
#include <QFont>
#include <QFontMetrics>
#include <QPainter>

namespace {

const int sheetWidth = 1640;
const int margin = 24;
const int gap = 8;
const int labelHeight = 18;
const int titleHeight = 30;
const QColor sheetBackground("#EFEFF0");
const QColor cellBorder("#DFDFE0");
const QColor labelColor("#606061");

struct Cell {
    QRect rect;
    const Icon* icon;
    QString label;
};

struct Title {
    QPoint origin;
    QString text;
};

// Places the cells of every group in rows that wrap at the sheet's width; returns the height used.
int Layout(const std::vector<IconGroup>& groups, const QFontMetrics& metrics, std::vector<Cell>& cells,
    std::vector<Title>& titles)
{
    int y = margin;
    for (const IconGroup& group : groups) {
        titles.push_back({{margin, y + 20}, group.title});
        y += titleHeight;
        int x = margin;
        int rowHeight = 0;
        for (const Icon& icon : group.icons) {
            const QFileInfo file(icon.path);
            const QString label = group.sequence ? file.completeBaseName().section('_', -1) : file.fileName();
            const int padding = group.sequence ? 6 : 12;
            const int width = std::max(icon.size.width() + 2 * padding, metrics.horizontalAdvance(label) + 12);
            const int height = icon.size.height() + 2 * padding + labelHeight;
            if (x + width > sheetWidth - margin) {
                x = margin;
                y += rowHeight + gap;
                rowHeight = 0;
            }
            cells.push_back({QRect(x, y, width, height), &icon, label});
            x += width + gap;
            rowHeight = std::max(rowHeight, height);
        }
        y += rowHeight + 2 * gap;
    }
    return y + margin;
}

void DrawCell(QPainter& painter, const Cell& cell)
{
    painter.setPen(cellBorder);
    painter.setBrush(Qt::white);
    painter.drawRect(cell.rect.adjusted(0, 0, -1, -1));
    const QRect picture = cell.rect.adjusted(0, 0, 0, -labelHeight);
    const QSize size = cell.icon->size;
    painter.drawImage(
        picture.center() - QPoint(size.width() / 2, size.height() / 2) + QPoint(1, 1), cell.icon->Render());
    painter.setPen(labelColor);
    painter.drawText(
        QRect(cell.rect.left(), picture.bottom() - 4, cell.rect.width(), labelHeight), Qt::AlignCenter, cell.label);
}

} // namespace

QImage ContactSheet(const std::vector<IconGroup>& groups, const QString& labelFamily)
{
    QFont labelFont(labelFamily);
    labelFont.setPixelSize(11);
    QFont titleFont(labelFamily);
    titleFont.setPixelSize(15);
    titleFont.setBold(true);

    std::vector<Cell> cells;
    std::vector<Title> titles;
    const int height = Layout(groups, QFontMetrics(labelFont), cells, titles);

    QImage sheet(sheetWidth, height, QImage::Format_RGB32);
    sheet.fill(sheetBackground);
    QPainter painter(&sheet);
    painter.setFont(titleFont);
    painter.setPen(Qt::black);
    for (const Title& title : titles)
        painter.drawText(title.origin, title.text);
    painter.setFont(labelFont);
    for (const Cell& cell : cells)
        DrawCell(painter, cell);
    painter.end();
    return sheet;
}
