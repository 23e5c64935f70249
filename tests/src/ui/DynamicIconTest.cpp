#include "DynamicIcon.h"

#include <QImage>
#include <QMovie>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

namespace {

// Frames written as tiny images whose red channel encodes their number, so the
// frame on show can be read back from the label.
class DynamicIconTest : public ::testing::Test {
protected:
    QString Pattern() const { return dir.filePath("frame_%1.png"); }
    QString Still() const { return dir.filePath("still.png"); }

    void WriteFrames(int count) const
    {
        for (int frame = 1; frame <= count; ++frame)
            Write(Pattern().arg(frame), frame);
    }

    static void Write(const QString& path, int number)
    {
        QImage image(4, 4, QImage::Format_RGB32);
        image.fill(QColor(number * 7, 0, 0));
        ASSERT_TRUE(image.save(path));
    }

    // The number of the frame on show; 0 when the label shows no picture.
    int Shown() const
    {
        const QPixmap shown = Label().pixmap(Qt::ReturnByValue);
        if (shown.isNull())
            return 0;
        return shown.toImage().pixelColor(0, 0).red() / 7;
    }

    QTimer* Timer() const { return icon.findChild<QTimer*>(); }
    // The icon's own members hide the label's getters of the same names.
    const QLabel& Label() const { return icon; }

    QTemporaryDir dir;
    Ui::DynamicIcon icon;
};

} // namespace

// Frame 1 at once, then 2..N and 1 again, each tick re-arming a single-shot
// timer of 1000/N ms.
TEST_F(DynamicIconTest, FramesRunInOrderAndWrapAtTheInterval)
{
    WriteFrames(32);
    for (const int count : {2, 18, 32}) {
        SCOPED_TRACE(count);
        icon.Init(Pattern(), count);
        EXPECT_EQ(Shown(), 1);
        ASSERT_TRUE(Timer()->isActive());
        EXPECT_TRUE(Timer()->isSingleShot());
        EXPECT_EQ(Timer()->interval(), 1000 / count);
        for (int tick = 1; tick <= count; ++tick) {
            icon.LoadAnimation();
            EXPECT_EQ(Shown(), tick % count + 1) << tick;
        }
    }
}

// The timer really drives the animation: two frames alternate every 500 ms.
TEST_F(DynamicIconTest, TimerAdvancesTheFrames)
{
    WriteFrames(2);
    icon.Init(Pattern(), 2);
    EXPECT_EQ(Shown(), 1);
    EXPECT_TRUE(QTest::qWaitFor([this] { return Shown() == 2; }, 2000));
    EXPECT_TRUE(QTest::qWaitFor([this] { return Shown() == 1; }, 2000));
}

// Nothing, a still image, and counts that are neither: no picture, no timer,
// and the pending tick of the animation before is cancelled; very many frames
// still get a timer of at least a millisecond.
TEST_F(DynamicIconTest, StillImageNothingAndInvalidCounts)
{
    Write(Still(), 9);
    WriteFrames(2);
    struct Case {
        QString path;
        int frames;
        int shown;
    };
    for (const Case& c :
        {Case {Still(), 1, 9}, Case {Still(), 0, 0}, Case {Pattern(), -5, 0}, Case {Pattern(), -2147483647 - 1, 0}}) {
        SCOPED_TRACE(c.frames);
        icon.Init(Pattern(), 2); // something running before
        icon.Init(c.path, c.frames);
        EXPECT_EQ(Shown(), c.shown);
        EXPECT_FALSE(Timer()->isActive());
        EXPECT_EQ(Label().movie(), nullptr);
        icon.LoadAnimation(); // a stray tick must neither crash nor start a timer
        EXPECT_FALSE(Timer()->isActive());
    }
    icon.Init(Pattern(), 5000); // more than 1000 frames: still no 0 ms timer
    EXPECT_GE(Timer()->interval(), 1);
}

// A movie plays until the next Init, which stops it and takes it off the label.
TEST_F(DynamicIconTest, InitStopsAPlayingMovie)
{
    const QString convert = QStandardPaths::findExecutable("convert");
    if (convert.isEmpty())
        GTEST_SKIP() << "ImageMagick's convert is not installed; cannot make a GIF to play";
    const QString gif = dir.filePath("spinner.gif");
    ASSERT_EQ(QProcess::execute(convert, {"-delay", "5", "-size", "4x4", "xc:red", "xc:blue", "-loop", "0", gif}), 0);
    Write(Still(), 9);

    icon.Init(gif, -1);
    QMovie* movie = Label().movie();
    ASSERT_NE(movie, nullptr);
    EXPECT_TRUE(movie->isValid());
    EXPECT_EQ(movie->state(), QMovie::Running);
    EXPECT_FALSE(Timer()->isActive());

    icon.Init(Still(), 1);
    EXPECT_EQ(movie->state(), QMovie::NotRunning);
    EXPECT_EQ(Label().movie(), nullptr);
    EXPECT_EQ(Shown(), 9);
}
