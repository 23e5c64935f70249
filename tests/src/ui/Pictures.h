#pragma once

#include <QCoreApplication>
#include <QDir>
#include <QImage>
#include <QPainter>
#include <QVBoxLayout>
#include <QWidget>

#include <algorithm>
#include <vector>

// Writes "<name>.png" into the folder TESSALY_PICTURES names, if it is set
// (docs/ keeps the reviewed pictures).
inline void KeepPicture(const QImage& picture, const QString& name)
{
    const QString folder = qEnvironmentVariable("TESSALY_PICTURES");
    if (!folder.isEmpty())
        picture.save(QDir(folder).filePath(name + ".png"));
}

// A white page of a fixed width (and height, unless 0) around the widgets
// under review.
class Sheet : public QWidget {
public:
    explicit Sheet(int width, int height = 0, int margin = 0)
    {
        setObjectName("sheet");
        setStyleSheet("#sheet { background: #FFFFFF; }");
        layout = new QVBoxLayout(this);
        layout->setContentsMargins(margin, margin, margin, margin);
        layout->setSpacing(0);
        setFixedWidth(width);
        if (height > 0)
            setFixedHeight(height);
    }
    QImage Picture()
    {
        adjustSize();
        show();
        QCoreApplication::processEvents(); // lay the new texts out first
        return grab().toImage();
    }

    QVBoxLayout* layout;
};

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
