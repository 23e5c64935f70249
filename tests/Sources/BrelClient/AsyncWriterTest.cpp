#include "BrelTest.h"

#include <QSignalSpy>

using Brel::AsyncWriter;

// The writer lives on the test's thread here, so nothing is written until the event loop runs: hand-overs can be
// arranged exactly. A hand-over that reaches the limit is taken but says full; one over it is refused, never dropped.
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
    EXPECT_EQ(out.total, 100005);

    EXPECT_TRUE(writer.WriteData(QByteArray(50000, 'e')));
    writer.Abort();
    QTest::qWait(20);
    EXPECT_EQ(out.total, 100005);
    EXPECT_TRUE(writer.IsIdle());
}

// Reported once (nothing more is tried before the abort), and DataReady still comes; a stream without an exception
// mask fails silently: still an error. An abort while the error is reported leaves the writer working.
TEST(AsyncWriterTest, ErrorIsReportedOnceAndAnAbortEndsIt)
{
    AsyncWriterTestStream out;
    AsyncWriter writer(&out);
    QSignalSpy ready(&writer, &AsyncWriter::DataReady);
    QSignalSpy error(&writer, &AsyncWriter::DataError);
    out.failing = true;
    writer.WriteData(QByteArray(40000, 'a'));
    writer.WriteData(QByteArray(40000, 'b'));
    ASSERT_TRUE(ready.wait(5000));
    writer.WriteData(QByteArray(10, 'c'));
    ASSERT_TRUE(ready.wait(5000));
    ASSERT_EQ(error.count(), 1);
    EXPECT_EQ(error.at(0).at(0).toString(), "disk full");
    EXPECT_FALSE(writer.IsIdle());
    writer.Abort();
    EXPECT_TRUE(writer.IsIdle());

    std::ostream bad(nullptr);
    AsyncWriter silent(&bad);
    QSignalSpy silentError(&silent, &AsyncWriter::DataError);
    silent.WriteData("x");
    EXPECT_TRUE(silentError.wait(5000));

    out.clear(); // as the request does: abort as soon as it hears of the error
    QObject::connect(&writer, &AsyncWriter::DataError, [&writer] { writer.Abort(); });
    writer.WriteData("a");
    ASSERT_TRUE(WaitFor([&] { return writer.IsIdle(); }));
    out.failing = false;
    out.clear();
    writer.WriteData("b"); // the next run
    ASSERT_TRUE(WaitFor([&] { return out.total == 1; }));
}
