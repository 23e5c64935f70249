#include "BrelTest.h"

#include <QSignalSpy>

using Brel::AsyncWriter;

// The writer lives on the test's thread here, so nothing is written until the event loop runs: hand-overs can be
// arranged exactly.
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
    EXPECT_EQ(out.writes, (std::vector<int> {32000, 32000, 32000, 4000, 40000, 10}));
    EXPECT_EQ(ready.count(), 1);
    EXPECT_TRUE(writer.IsIdle());
}

// A hand-over that reaches the limit is taken but says full; one over it is refused, never dropped.
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

    // A folder that exists already is no std::runtime_error: still reported, and the writer goes on.
    QTemporaryDir root;
    ASSERT_TRUE(QDir(root.path()).mkdir("DATA"));
    Brel::Tar::Stream tar(root.path().toStdString());
    tar.exceptions(std::ios::badbit | std::ios::failbit);
    AsyncWriter unpacking(&tar);
    QSignalSpy unpackingError(&unpacking, &AsyncWriter::DataError);
    unpacking.WriteData(TarTestArchive().Folder("DATA/").Bytes());
    ASSERT_TRUE(unpackingError.wait(5000));
    EXPECT_EQ(unpackingError.at(0).at(0).toString(), "unknown exception");

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
