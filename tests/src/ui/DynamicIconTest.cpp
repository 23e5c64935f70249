#include "UiTest.h"

// Frames as tiny images whose red channel encodes their number (frame 0 is the still image), read back from the label.
class DynamicIconTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        for (int frame = 0; frame <= 32; ++frame) {
            QImage image(4, 4, QImage::Format_RGB32);
            image.fill(QColor(frame * 7, 0, 0));
            ASSERT_TRUE(image.save(frame == 0 ? still : pattern.arg(frame)));
        }
    }
    int Shown() const // -1: no picture
    {
        const QPixmap shown = label.pixmap(Qt::ReturnByValue);
        return shown.isNull() ? -1 : shown.toImage().pixelColor(0, 0).red() / 7;
    }

    QTemporaryDir dir;
    const QString pattern = dir.filePath("frame_%1.png"), still = dir.filePath("still.png");
    Ui::DynamicIcon icon;
    const QLabel& label = icon;
    QTimer* timer = icon.findChild<QTimer*>();
};

// Counts below -1 show nothing, a stray tick does nothing, and very many frames still get a timer of 1 ms or more.
TEST_F(DynamicIconTest, StillImageNothingAndInvalidCounts)
{
    const std::pair<int, int> cases[] = {{1, 0}, {0, -1}, {-5, -1}, {-2147483647 - 1, -1}}; // frames, shown
    for (const auto& [frames, shown] : cases) {
        SCOPED_TRACE(frames);
        icon.Init(pattern, 2); // something running before
        icon.Init(frames >= 0 ? still : pattern, frames);
        EXPECT_EQ(Shown(), shown);
        EXPECT_FALSE(timer->isActive());
        EXPECT_EQ(label.movie(), nullptr);
        icon.LoadAnimation(); // a stray tick must neither crash nor start a timer
        EXPECT_FALSE(timer->isActive());
    }
    icon.Init(pattern, 5000); // more than 1000 frames: still no 0 ms timer
    EXPECT_GE(timer->interval(), 1);
}

// Frames run from the first, wrap after the last, each a second divided among them; the timer moves them on.
TEST_F(DynamicIconTest, FramesRunInOrderAndWrapAtTheInterval)
{
    for (const int count : {2, 18, 32}) {
        SCOPED_TRACE(count);
        icon.Init(pattern, count);
        EXPECT_EQ(Shown(), 1);
        ASSERT_TRUE(timer->isActive());
        EXPECT_EQ(timer->interval(), 1000 / count);
        for (int tick = 1; tick <= count; ++tick) {
            icon.LoadAnimation();
            EXPECT_EQ(Shown(), tick % count + 1) << tick;
        }
        EXPECT_TRUE(timer->isActive());
    }
    icon.Init(pattern, 2);
    EXPECT_TRUE(QTest::qWaitFor([this] { return Shown() == 2; }, 20000));
}

TEST_F(DynamicIconTest, InitStopsAPlayingMovie)
{
    icon.Init(":/icons/ic_spinner.gif", -1);
    QMovie* movie = label.movie();
    ASSERT_TRUE(movie && movie->isValid());
    EXPECT_GT(movie->frameCount(), 1);
    EXPECT_EQ(movie->state(), QMovie::Running);
    EXPECT_FALSE(timer->isActive());
    icon.Init(still, 1);
    EXPECT_EQ(movie->state(), QMovie::NotRunning);
    EXPECT_EQ(label.movie(), nullptr);
    EXPECT_EQ(Shown(), 0);
}
