#include "AsyncWriter.h"
#include "AsyncWriterTestStream.h"
#include "RequestTestNetwork.h"

#include <QSignalSpy>
#include <QThread>

#include <gtest/gtest.h>

#include <numeric>
#include <stdexcept>

namespace {

using Brel::AsyncWriter;

class PlainError : public std::exception {
public:
    const char* what() const noexcept override { return "plain"; }
};

// The writer lives on the test's thread here, so nothing is written until the
// event loop runs: hand-overs can be arranged exactly.
TEST(AsyncWriterTest, MergesSmallArrivalsIntoBlocksOfAtMost32KiB)
{
    AsyncWriterTestStream out;
    AsyncWriter writer(&out);
    QSignalSpy ready(&writer, &AsyncWriter::DataReady);
    for (int i = 0; i < 100; ++i)
        EXPECT_TRUE(writer.WriteData(QByteArray(1000, 'a')));
    EXPECT_TRUE(writer.WriteData(QByteArray(40000, 'b')));
    EXPECT_TRUE(writer.WriteData(QByteArray(10, 'c')));
    EXPECT_FALSE(writer.IsIdle());
    ASSERT_TRUE(ready.wait(5000));
    EXPECT_EQ(out.Writes(), (std::vector<int> {32000, 32000, 32000, 4000, 40000, 10}));
    EXPECT_EQ(ready.count(), 1);
    EXPECT_TRUE(writer.IsIdle());
}

TEST(AsyncWriterTest, RefusesOnlyWhenOverTheLimit)
{
    AsyncWriterTestStream out;
    AsyncWriter writer(&out);
    QSignalSpy written(&writer, &AsyncWriter::DataWritten);
    writer.SetBufferLimit(100000);
    EXPECT_TRUE(writer.WriteData(QByteArray(99999, 'a')));
    EXPECT_FALSE(writer.WriteData(QByteArray(1, 'b'))); // reaches the limit: taken, but full
    EXPECT_FALSE(writer.WriteData(QByteArray(5, 'c'))); // at the limit: still taken
    EXPECT_FALSE(writer.WriteData(QByteArray(7, 'd'))); // over the limit: refused
    ASSERT_TRUE(WaitFor([&] { return writer.IsIdle(); }));
    EXPECT_EQ(out.Total(), 100005);
    EXPECT_TRUE(writer.WriteData(QByteArray(7, 'd')));
}

TEST(AsyncWriterTest, EmptyHandOverOnlyAsksForReady)
{
    AsyncWriterTestStream out;
    AsyncWriter writer(&out);
    QSignalSpy ready(&writer, &AsyncWriter::DataReady);
    EXPECT_TRUE(writer.WriteData(QByteArray()));
    ASSERT_TRUE(ready.wait(5000));
    EXPECT_TRUE(out.Writes().empty());
}

TEST(AsyncWriterTest, ErrorStopsWritingAndStillSignalsReady)
{
    const std::pair<std::function<void()>, QString> failures[]
        = {{[] { throw std::runtime_error("disk full"); }, "disk full"},
            {[] { throw PlainError(); }, "unknown exception"}};
    for (const auto& [failure, message] : failures) {
        AsyncWriterTestStream out;
        AsyncWriter writer(&out);
        QSignalSpy ready(&writer, &AsyncWriter::DataReady);
        QSignalSpy error(&writer, &AsyncWriter::DataError);
        out.FailWith(failure);
        writer.WriteData(QByteArray(40000, 'a'));
        writer.WriteData(QByteArray(40000, 'b'));
        ASSERT_TRUE(ready.wait(5000));
        ASSERT_EQ(error.count(), 1);
        EXPECT_EQ(error.at(0).at(0).toString(), message);
        EXPECT_FALSE(writer.IsIdle()); // the second block stays until aborted
        writer.WriteData(QByteArray(10, 'c'));
        ASSERT_TRUE(ready.wait(5000));
        EXPECT_EQ(error.count(), 1); // nothing more is tried before the abort
        writer.Abort();
        EXPECT_TRUE(writer.IsIdle());
    }
}

TEST(AsyncWriterTest, StreamWithoutExceptionsFailingIsAnError)
{
    std::ostream bad(nullptr);
    AsyncWriter writer(&bad);
    QSignalSpy error(&writer, &AsyncWriter::DataError);
    writer.WriteData("x");
    ASSERT_TRUE(error.wait(5000));
}

TEST(AsyncWriterTest, AbortDropsWhatIsBuffered)
{
    AsyncWriterTestStream out;
    AsyncWriter writer(&out);
    writer.WriteData(QByteArray(50000, 'a'));
    writer.Abort();
    Spin(20);
    EXPECT_EQ(out.Total(), 0);
    EXPECT_TRUE(writer.IsIdle());
}

// On a thread of its own, with a slow stream, the hand-overs never wait for
// the stream and every byte arrives once, in order of the blocks.
TEST(AsyncWriterTest, WritesOnItsOwnThreadWhileDataArrives)
{
    AsyncWriterTestStream out;
    out.Throttle(20 * 1024 * 1024);
    AsyncWriter writer(&out);
    QThread thread;
    writer.moveToThread(&thread);
    thread.start();
    qint64 written = 0;
    QObject::connect(&writer, &AsyncWriter::DataWritten, [&](int bytes) { written += bytes; });
    qint64 handed = 0;
    for (int i = 0; i < 200; ++i) {
        if (writer.WriteData(QByteArray(5000 + i, 'x')))
            handed += 5000 + i;
    }
    ASSERT_TRUE(WaitFor([&] { return written == handed; }));
    const std::vector<int> writes = out.Writes();
    EXPECT_EQ(std::accumulate(writes.begin(), writes.end(), qint64(0)), handed);
    EXPECT_LE(*std::max_element(writes.begin(), writes.end()), AsyncWriter::kChunkLimit);
    thread.quit();
    thread.wait();
}

} // namespace
