#pragma once

#include <QLabel>
#include <QMovie>
#include <QPixmap>
#include <QString>

#include <cstdint>

class QTimer;

namespace Ui {

// A label showing nothing, a still image, a movie, or an animation of numbered
// still frames that it steps through itself.
class DynamicIcon : public QLabel {
    Q_OBJECT

public:
    explicit DynamicIcon(QWidget* parent = nullptr);

    // frameCount: 0 nothing, 1 a still image, -1 a movie, N > 1 the number of
    // frames of an animation whose path holds one "%1" for the frame number.
    void Init(const QString& path, std::int32_t frameCount);

public slots:
    void LoadMovie();
    void LoadIcon();
    void LoadAnimation();

private:
    QString path;
    QPixmap pixmap;
    QMovie movie;
    QTimer* timer;
    std::uint32_t frame = 1;
    std::int32_t frameCount = 0;
};

} // namespace Ui
