#include "AsyncWriter.h"
#include "BrelTest.h"

#include <QSignalSpy>

#include <gtest/gtest.h>

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
    EXPECT_TRUE(writer.WriteData(QByteArray())); // only asks for DataReady
    EXPECT_FALSE(writer.IsIdle());
    ASSERT_TRUE(ready.wait(5000));
    EXPECT_EQ(out.Writes(), (std::vector<int> {32000, 32000, 32000, 4000, 40000, 10}));
    EXPECT_EQ(ready.count(), 1);
    EXPECT_TRUE(writer.IsIdle());
}

TEST(AsyncWriterTest, RefusesOnlyWhenOverTheLimitAndAbortDrops)
{
    AsyncWriterTestStream out;
    AsyncWriter writer(&out);
    writer.SetBufferLimit(100000);
    EXPECT_TRUE(writer.WriteData(QByteArray(99999, 'a')));
    EXPECT_FALSE(writer.WriteData(QByteArray(1, 'b'))); // reaches the limit: taken, but full
    EXPECT_FALSE(writer.WriteData(QByteArray(5, 'c'))); // at the limit: still taken
    EXPECT_FALSE(writer.WriteData(QByteArray(7, 'd'))); // over the limit: refused
    ASSERT_TRUE(WaitFor([&] { return writer.IsIdle(); }));
    EXPECT_EQ(out.Total(), 100005);

    EXPECT_TRUE(writer.WriteData(QByteArray(50000, 'e')));
    writer.Abort();
    Spin(20);
    EXPECT_EQ(out.Total(), 100005);
    EXPECT_TRUE(writer.IsIdle());
}

TEST(AsyncWriterTest, ErrorIsReportedOnceAndStillSignalsReady)
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
        writer.WriteData(QByteArray(10, 'c'));
        ASSERT_TRUE(ready.wait(5000));
        ASSERT_EQ(error.count(), 1); // nothing more is tried before the abort
        EXPECT_EQ(error.at(0).at(0).toString(), message);
        EXPECT_FALSE(writer.IsIdle());
        writer.Abort();
        EXPECT_TRUE(writer.IsIdle());
    }
    // A stream without an exception mask fails silently: still an error.
    std::ostream bad(nullptr);
    AsyncWriter writer(&bad);
    QSignalSpy error(&writer, &AsyncWriter::DataError);
    writer.WriteData("x");
    EXPECT_TRUE(error.wait(5000));
}

TEST(AsyncWriterTest, AnAbortWhileTheErrorIsReportedLeavesTheWriterWorking)
{
    AsyncWriterTestStream out;
    AsyncWriter writer(&out);
    // The request aborts the writer as soon as it hears of the error.
    QObject::connect(&writer, &AsyncWriter::DataError, [&writer] { writer.Abort(); });
    out.FailWith([] { throw std::runtime_error("disk full"); });
    writer.WriteData("a");
    ASSERT_TRUE(WaitFor([&] { return writer.IsIdle(); }));
    out.FailWith(nullptr);
    out.clear();
    writer.WriteData("b"); // the next run
    ASSERT_TRUE(WaitFor([&] { return writer.IsIdle(); }));
    EXPECT_EQ(out.Total(), 1);
}

} // namespace
