#include "DynamicIcon.h"

#include "Log.h"

#include <QTimer>

#include <algorithm>

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
    // Any other negative count is no movie and must not become a huge frame
    // count on a 0 ms timer: it shows nothing.
    frameCount = frames < -1 ? 0 : frames;
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
    if (frameCount < 2)
        return; // no frame animation is set up (the slot is public)
    pixmap.load(path.arg(frame));
    setPixmap(pixmap);
    const auto count = static_cast<std::uint32_t>(frameCount);
    frame = frame % count + 1;
    // Over 1000 frames would give a 0 ms timer that starves the event loop.
    timer->setInterval(std::max(1, static_cast<int>(1000 / count)));
    timer->start();
}

} // namespace Ui
