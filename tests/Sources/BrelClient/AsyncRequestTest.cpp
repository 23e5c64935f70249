#include "BrelTest.h"

#include <iterator>

using Brel::AsyncRequest;

const QString kArchive = "EU1_2024_05.tar"; // about 8.5 MiB in the default catalogue

struct AsyncRequestTest : BrelTest {
    void SetUp() override
    {
        BrelTest::SetUp();
        ASSERT_TRUE(service.Start());
        tar = OpenTar();
        stream = std::make_unique<AsyncWriterTestStream>(tar.get());
    }
    qint64 Size() const { return QFileInfo(service.ArchivePath(kArchive)).size(); }
    std::unique_ptr<AsyncRequest> Make(int timeoutMs = 10000)
    {
        auto request = std::make_unique<AsyncRequest>(&manager, service.ArchiveUrl(kArchive).toString(),
            QMap<QString, QString> {{"Accept", "application/x-tar"}}, QMap<QString, QString> {}, &response,
            stream.get());
        request->SetTimeout(timeoutMs);
        request->SetRetryPause(0);
        return request;
    }
    std::vector<qint64> RangeOffsets() const // 0: none
    {
        std::vector<qint64> offsets;
        for (const QString& range : service.ArchiveRanges())
            offsets.push_back(range.isEmpty() ? 0 : range.mid(6).chopped(1).toLongLong());
        return offsets;
    }
    void ExpectComplete()
    {
        ASSERT_EQ(response.results, std::vector<IResponse::Result> {IResponse::Ok});
        const QString reference = folder.path() + "/reference";
        QDir().mkpath(reference);
        ASSERT_EQ(QProcess::execute("tar", {"-C", reference, "-xf", service.ArchivePath(kArchive)}), 0);
        EXPECT_EQ(TarTestArchive::Tree(Root()), TarTestArchive::Tree(reference));
        EXPECT_EQ(tar->GetMd5(), TarTestArchive::Md5(TestFiles::Read(service.ArchivePath(kArchive))));
        EXPECT_EQ(response.Written(), Size());
        EXPECT_EQ(stream->total, Size());
    }

    QNetworkAccessManager manager;
    std::unique_ptr<Brel::Tar::Stream> tar;
    std::unique_ptr<AsyncWriterTestStream> stream;
};

QJsonObject Fault(const char* kind, qint64 bytes, QJsonObject more = {})
{
    more["path"] = more.value("path").toString("/files/");
    more["kind"] = kind;
    if (bytes >= 0)
        more["bytes"] = bytes;
    return more;
}

struct Interruption {
    const char* name;
    std::vector<QJsonObject> faults;
    int bufferLimit, bytesPerSecond, timeoutMs, windowMs; // windowMs 0: the configured one, and the archive completes
    std::size_t sent; // 0: more than one
    bool resumedAtTheEnd;
    friend void PrintTo(const Interruption& row, std::ostream* out) { *out << row.name; }
};

struct AsyncRequestInterrupted : AsyncRequestTest, ::testing::WithParamInterface<Interruption> { };

// Every resend continues exactly behind a byte count written into the stream, never going back, with the Range kept
// through a redirect; the written bytes are skipped when the whole archive answers it; nothing is resent after the
// final result.
TEST_P(AsyncRequestInterrupted, ResumesBehindTheWrittenBytes)
{
    for (const QJsonObject& fault : GetParam().faults)
        service.SetFault(fault);
    const auto request = Make(GetParam().timeoutMs);
    if (GetParam().bufferLimit)
        request->SetBufferLimit(GetParam().bufferLimit);
    if (GetParam().windowMs)
        request->SetRetryWindowLength(GetParam().windowMs);
    stream->rate = GetParam().bytesPerSecond;
    request->Send();
    ASSERT_TRUE(Results());
    if (GetParam().windowMs) {
        const std::vector<qint64> sent = RangeOffsets();
        QTest::qWait(1500);
        EXPECT_EQ(response.results, std::vector<IResponse::Result> {IResponse::NoConnection});
        EXPECT_EQ(RangeOffsets(), sent);
        EXPECT_EQ(response.Written(), sent.back());
    } else {
        ExpectComplete();
    }
    std::vector<qint64> written {0};
    std::partial_sum(response.data.begin(), response.data.end(), std::back_inserter(written));
    const std::vector<qint64> offsets = RangeOffsets();
    EXPECT_TRUE(GetParam().sent ? offsets.size() == GetParam().sent : offsets.size() > 1) << offsets.size();
    EXPECT_TRUE(std::is_sorted(offsets.begin(), offsets.end()));
    for (const qint64 offset : offsets)
        EXPECT_NE(std::find(written.begin(), written.end(), offset), written.end()) << offset;
    EXPECT_EQ(service.RequestLog().last()["headers"]["Range"].toString(), QString("bytes=%1-").arg(offsets.back()));
    if (!GetParam().resumedAtTheEnd)
        return;
    // The stream holds the whole archive (then more): the service answers 416 with the size, which completes the
    // transfer only when it equals the offset.
    request->SetRetryWindowLength(200);
    for (const bool more : {false, true}) {
        stream->write("extra", more ? 5 : 0);
        request->StartAutomaticRetry();
        ASSERT_TRUE(Results(more ? 3 : 2));
        EXPECT_EQ(response.results.back() == IResponse::Ok, !more);
        EXPECT_EQ(RangeOffsets().back(), Size() + (more ? 5 : 0));
    }
}

INSTANTIATE_TEST_SUITE_P(Interruptions, AsyncRequestInterrupted,
    ::testing::Values(Interruption {"backPressure", {}, 256 * 1024, 40 << 20, 10000, 0, 0, false},
        Interruption {"drops",
            {Fault("drop_after", 1), Fault("drop_after", 511), Fault("drop_after", 512), Fault("drop_after", 70000),
                Fault("drop_after", 3000000), Fault("drop_after", 1000, {{"reset", true}})},
            0, 0, 10000, 0, 7, true},
        Interruption {"redirectedAndAnsweredWhole",
            {Fault("drop_after", 5000), Fault("redirect", -1, {{"times", -1}, {"location", "/mirror/" + kArchive}}),
                Fault("ignore_range", -1, {{"path", "/mirror/"}, {"times", -1}})},
            0, 0, 10000, 0, 2, false},
        // The stall leaves 2 MiB with a slow writer: the resend waits for all of them to be written.
        Interruption {"stallForASlowWriter", {Fault("stall", 2 << 20, {{"seconds", 3}})}, 0, 4 << 20, 300, 0, 2, false},
        // The first reply stalls with 1 MB for the slow writer, every later one without data until the window ends.
        Interruption {"nothingAfterTheFinalResult",
            {Fault("stall", 1000000, {{"seconds", 10}}), Fault("stall", 0, {{"seconds", 10}, {"times", -1}})}, 0,
            2 << 20, 200, 300, 0, false}),
    [](const auto& info) { return std::string(info.param.name); });

// Callers may delete the request while it reports written bytes; the writer is busy with a slow stream then. The
// service stalls after a first part, so the transfer is unfinished whenever the first written bytes are reported,
// however the network's arrivals are cut.
TEST_F(AsyncRequestTest, DestroyedMidTransferJoinsTheWriter)
{
    service.SetFault(Fault("stall", 1000000, {{"seconds", 30}}));
    auto request = std::make_unique<AsyncRequest>(&manager, service.ArchiveUrl(kArchive).toString(),
        QMap<QString, QString> {}, QMap<QString, QString> {}, &response, stream.get());
    response.onData = [&request] { request.reset(); };
    stream->rate = 1024 * 1024;
    request->Send();
    ASSERT_TRUE(WaitFor([&] { return !request; }, 30000));
    const qint64 written = stream->total;
    QTest::qWait(100);
    EXPECT_TRUE(response.results.empty());
    EXPECT_EQ(stream->total, written); // the writer was joined: nothing is written after the request is gone
    EXPECT_LE(written, 1000000);
}

// A scripted reply that has finished by the time its data is read is never dropped for back-pressure; a write failure
// ends the transfer with IOError, nothing resent.
TEST(AsyncRequestScriptedTest, FinishedReplyIsNeverDroppedForBackPressureAndAWriteFailureEndsIt)
{
    LogCapture log;
    FakeNetwork network({FakeAnswer {200, QByteArray(100000, 'a')}});
    AsyncWriterTestStream out;
    for (const bool failing : {false, true}) {
        RecordingResponse response;
        out.failing = failing;
        AsyncRequest request(&network, "https://127.0.0.1:1/a.tar", {}, {}, &response, &out);
        request.SetBufferLimit(1000);
        request.Send();
        ASSERT_TRUE(WaitFor([&] { return !response.results.empty(); }));
        QTest::qWait(200);
        EXPECT_EQ(response.results, std::vector<IResponse::Result> {failing ? IResponse::IOError : IResponse::Ok});
        EXPECT_EQ(network.count, failing ? 2 : 1);
    }
    EXPECT_EQ(out.total, 100000);
    EXPECT_EQ(log.Count(Log::Error, "Failed to write data: disk full"), 1);
}
