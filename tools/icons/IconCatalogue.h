#pragma once

#include <QRectF>
#include <QSize>
#include <QString>

#include <functional>
#include <vector>

class QImage;
class QPainter;

// Every picture the program ships, grouped as the contact sheet shows them.
struct Icon {
    QString path; // relative to the output folder
    QSize size;
    std::function<void(QPainter&, const QRectF&)> draw;
    bool opaque = false; // drawn on white: frames of the animated GIF, which has no partial transparency

    QImage Render() const;
};

struct IconGroup {
    QString title;
    bool sequence = false; // frames: the sheet labels them by number
    bool resource = true; // false: intermediate frames, written beside the GIF instead of into the resources
    std::vector<Icon> icons;
};

std::vector<IconGroup> IconCatalogue();
