#include "DynamicIcon.h"

#include "Log.h"

#include <QTimer>

namespace Ui {

DynamicIcon::DynamicIcon(QWidget* parent)
    : QLabel(parent)
    , timer(new QTimer(this))
{
    timer->setSingleShot(true);
    connect(timer, &QTimer::timeout, this, &DynamicIcon::LoadAnimation);
}

void DynamicIcon::Init(const QString& newPath, std::int32_t frames)
{
    LOG(Debug) << "Loading icon from: " << newPath;
    movie.stop();
    timer->stop();
    clear();
    path = newPath;
    frame = 1;
    frameCount = frames;
    switch (frameCount) {
    case 0:
        break;
    case 1:
        LoadIcon();
        break;
    case -1:
        LoadMovie();
        break;
    default:
        LoadAnimation();
    }
}

void DynamicIcon::LoadIcon()
{
    pixmap.load(path);
    setPixmap(pixmap);
}

void DynamicIcon::LoadMovie()
{
    movie.setFileName(path);
    setMovie(&movie);
    movie.start();
}

void DynamicIcon::LoadAnimation()
{
    pixmap.load(path.arg(frame));
    setPixmap(pixmap);
    const auto count = static_cast<std::uint32_t>(frameCount);
    frame = frame % count + 1;
    timer->setInterval(static_cast<int>(1000 / count));
    timer->start();
}

} // namespace Ui
