#pragma once

#include <QColor>
#include <QImage>
#include <QPainter>

#include <algorithm>
#include <vector>

// Pictures of several states of one widget, one below the other.
class Strip {
public:
    void Add(const QImage& shot) { shots.push_back(shot); }
    QImage Image() const
    {
        int width = 0, height = 0;
        for (const QImage& shot : shots) {
            width = std::max(width, shot.width());
            height += shot.height() + kGap;
        }
        QImage image(width, height, QImage::Format_RGB32);
        image.fill(QColor("#BFC0C2"));
        QPainter painter(&image);
        int y = 0;
        for (const QImage& shot : shots) {
            painter.drawImage(0, y, shot);
            y += shot.height() + kGap;
        }
        return image;
    }

private:
    static constexpr int kGap = 4;
    std::vector<QImage> shots;
};
