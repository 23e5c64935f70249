#include "UiTest.h"

#include "DynamicIcon.h"

#include <QMovie>
#include <QTemporaryDir>
#include <QTimer>

// Frames written as tiny images whose red channel encodes their number, so the
// frame on show can be read back from the label.
class DynamicIconTest : public ::testing::Test {
protected:
    DynamicIconTest()
    {
        for (int frame = 0; frame <= 32; ++frame) { // frame 0 is the still image
            QImage image(4, 4, QImage::Format_RGB32);
            image.fill(QColor(frame * 7, 0, 0));
            EXPECT_TRUE(image.save(frame == 0 ? still : pattern.arg(frame)));
        }
    }
    // The number of the frame on show; -1 when the label shows no picture.
    int Shown() const
    {
        const QPixmap shown = static_cast<const QLabel&>(icon).pixmap(Qt::ReturnByValue);
        return shown.isNull() ? -1 : shown.toImage().pixelColor(0, 0).red() / 7;
    }
    QMovie* Movie() const { return static_cast<const QLabel&>(icon).movie(); }

    QTemporaryDir dir;
    const QString pattern = dir.filePath("frame_%1.png"), still = dir.filePath("still.png");
    Ui::DynamicIcon icon;
    QTimer* timer = icon.findChild<QTimer*>();
};

// Counts below -1 show nothing, a stray tick does nothing, and very many frames
// still get a timer of at least a millisecond.
TEST_F(DynamicIconTest, StillImageNothingAndInvalidCounts)
{
    const std::pair<int, int> cases[] = {{1, 0}, {0, -1}, {-5, -1}, {-2147483647 - 1, -1}}; // frames, shown
    for (const auto& [frames, shown] : cases) {
        SCOPED_TRACE(frames);
        icon.Init(pattern, 2); // something running before
        icon.Init(frames >= 0 ? still : pattern, frames);
        EXPECT_EQ(Shown(), shown);
        EXPECT_FALSE(timer->isActive());
        EXPECT_EQ(Movie(), nullptr);
        icon.LoadAnimation(); // a stray tick must neither crash nor start a timer
        EXPECT_FALSE(timer->isActive());
    }
    icon.Init(pattern, 5000); // more than 1000 frames: still no 0 ms timer
    EXPECT_GE(timer->interval(), 1);
}

// The shipped spinner plays until the next Init takes it off the label.
TEST_F(DynamicIconTest, InitStopsAPlayingMovie)
{
    icon.Init(":/icons/ic_spinner.gif", -1);
    QMovie* movie = Movie();
    ASSERT_NE(movie, nullptr);
    EXPECT_TRUE(movie->isValid());
    EXPECT_GT(movie->frameCount(), 1);
    EXPECT_EQ(movie->state(), QMovie::Running);
    EXPECT_FALSE(timer->isActive());
    icon.Init(still, 1);
    EXPECT_EQ(movie->state(), QMovie::NotRunning);
    EXPECT_EQ(Movie(), nullptr);
    EXPECT_EQ(Shown(), 0);
}
