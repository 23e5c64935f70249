#include "AsyncRequest.h"
#include "BrelTest.h"
#include "ContentService.h"
#include "LogCapture.h"
#include "Stream.h"
#include "TarTestArchive.h"
#include "TestFiles.h"

#include <QDir>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <numeric>
#include <set>

namespace {

using Brel::AsyncRequest;
using Brel::IResponse;

const QString kArchive = "EU1_2024_05.tar"; // about 8.5 MiB in the default catalogue

// Downloads through the local content service into a tar stream.
class AsyncRequestTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(service_.Start());
        ASSERT_TRUE(QDir().mkpath(Root()));
        tar_ = std::make_unique<Brel::Tar::Stream>(Root().toStdString());
        tar_->exceptions(std::ios::badbit | std::ios::failbit);
        out_ = std::make_unique<AsyncWriterTestStream>(tar_.get());
    }

    QString Root() const { return folder_.path() + "/root"; }
    qint64 ArchiveSize() const { return QFileInfo(service_.ArchivePath(kArchive)).size(); }

    std::unique_ptr<AsyncRequest> Make()
    {
        auto request = std::make_unique<AsyncRequest>(&manager_, service_.ArchiveUrl(kArchive).toString(),
            QMap<QString, QString> {{"Accept", "application/x-tar"}}, QMap<QString, QString> {}, &response_,
            out_.get());
        request->SetTimeout(10000);
        request->SetRetryPause(0);
        return request;
    }

    bool RunToResult(AsyncRequest& request, int limitMs = 60000)
    {
        request.Send();
        return WaitFor([&] { return !response_.results.empty(); }, limitMs);
    }

    qint64 Written() const { return std::accumulate(response_.data.begin(), response_.data.end(), qint64(0)); }

    // The "Range" offsets that the service saw, in order (0: none).
    std::vector<qint64> RangeOffsets() const
    {
        std::vector<qint64> offsets;
        for (const QString& range : service_.ArchiveRanges())
            offsets.push_back(range.isEmpty() ? 0 : range.mid(6).chopped(1).toLongLong());
        return offsets;
    }

    // Every resend continued exactly behind a byte count that had been
    // written into the stream, and the count grew each time.
    void ExpectResumedBehindWrittenBytes() const
    {
        std::set<qint64> written {0};
        qint64 sum = 0;
        for (const qint64 bytes : response_.data)
            written.insert(sum += bytes);
        const std::vector<qint64> offsets = RangeOffsets();
        for (std::size_t i = 0; i < offsets.size(); ++i) {
            EXPECT_TRUE(written.count(offsets[i])) << "offset " << offsets[i];
            if (i > 0) {
                EXPECT_GE(offsets[i], offsets[i - 1]);
            }
        }
    }

    // The folder holds what GNU tar unpacks, the MD5 is the archive's, and
    // every byte was written once.
    void ExpectComplete()
    {
        ASSERT_EQ(response_.results, std::vector<IResponse::Result> {IResponse::Ok});
        const QString reference = folder_.path() + "/reference";
        QDir().mkpath(reference);
        QProcess tar;
        tar.start("tar", {"-C", reference, "-xf", service_.ArchivePath(kArchive)});
        ASSERT_TRUE(tar.waitForFinished());
        EXPECT_EQ(TarTestArchive::Tree(Root()), TarTestArchive::Tree(reference));
        EXPECT_EQ(tar_->GetMd5(), TarTestArchive::Md5(TestFiles::Read(service_.ArchivePath(kArchive))));
        EXPECT_EQ(Written(), ArchiveSize() - preWritten_);
        EXPECT_EQ(out_->Total(), ArchiveSize());
    }

    ContentService service_;
    QNetworkAccessManager manager_;
    QTemporaryDir folder_;
    std::unique_ptr<Brel::Tar::Stream> tar_;
    std::unique_ptr<AsyncWriterTestStream> out_;
    qint64 preWritten_ = 0; // written into the stream by the test itself
    RecordingResponse response_;
};

TEST_F(AsyncRequestTest, FullBufferPausesAndResumesBehindTheWrittenBytes)
{
    const auto request = Make();
    request->SetBufferLimit(256 * 1024);
    out_->Throttle(40 * 1024 * 1024);
    ASSERT_TRUE(RunToResult(*request));
    ExpectComplete();
    EXPECT_GT(RangeOffsets().size(), 1u);
    ExpectResumedBehindWrittenBytes();
}

TEST_F(AsyncRequestTest, DroppedConnectionsAreResumedAtEveryOffset)
{
    for (const int bytes : {1, 511, 512, 70000, 3000000})
        service_.SetFault({{"path", "/files/"}, {"kind", "drop_after"}, {"bytes", bytes}});
    service_.SetFault({{"path", "/files/"}, {"kind", "drop_after"}, {"bytes", 1000}, {"reset", true}});
    const auto request = Make();
    ASSERT_TRUE(RunToResult(*request));
    ExpectComplete();
    EXPECT_EQ(RangeOffsets().size(), 7u);
    ExpectResumedBehindWrittenBytes();
}

// The resend after a drop is redirected, and the target answers it with the whole archive: the Range goes along and
// the written bytes are skipped.
TEST_F(AsyncRequestTest, ARedirectedResumeAnsweredWholeSkipsTheWrittenBytes)
{
    service_.SetFault({{"path", "/files/"}, {"kind", "drop_after"}, {"bytes", 5000}});
    service_.SetFault({{"path", "/files/"}, {"kind", "redirect"}, {"times", -1}, {"location", "/mirror/" + kArchive}});
    service_.SetFault({{"path", "/mirror/"}, {"kind", "ignore_range"}, {"times", -1}});
    const auto request = Make();
    ASSERT_TRUE(RunToResult(*request));
    ExpectComplete();
    EXPECT_EQ(RangeOffsets(), (std::vector<qint64> {0, 5000}));
    EXPECT_EQ(service_.RequestLog().last()["headers"]["Range"].toString(), "bytes=5000-");
}

// The stall leaves 2 MiB with a slow writer; the resend must wait for all of
// them to be written and continue right behind them.
TEST_F(AsyncRequestTest, ResendAfterTimeOutWaitsForTheWriter)
{
    const int stalled = 2 * 1024 * 1024;
    service_.SetFault({{"path", "/files/"}, {"kind", "stall"}, {"bytes", stalled}, {"seconds", 3}});
    const auto request = Make();
    request->SetTimeout(300);
    out_->Throttle(4 * 1024 * 1024);
    ASSERT_TRUE(RunToResult(*request));
    ExpectComplete();
    EXPECT_EQ(RangeOffsets(), (std::vector<qint64> {0, stalled}));
}

// The first reply stalls with 1 MB for the slow writer, every later one
// stalls without data until the window has run out.
TEST_F(AsyncRequestTest, NothingIsResentAfterTheFinalResult)
{
    service_.SetFault({{"path", "/files/"}, {"kind", "stall"}, {"bytes", 1000000}, {"seconds", 10}});
    service_.SetFault({{"path", "/files/"}, {"kind", "stall"}, {"bytes", 0}, {"seconds", 10}, {"times", -1}});
    const auto request = Make();
    request->SetTimeout(200);
    request->SetRetryWindowLength(300);
    out_->Throttle(2 * 1024 * 1024);
    ASSERT_TRUE(RunToResult(*request));
    const std::size_t sent = RangeOffsets().size();
    Spin(1500);
    EXPECT_EQ(response_.results, std::vector<IResponse::Result> {IResponse::NoConnection});
    EXPECT_EQ(RangeOffsets().size(), sent);
    EXPECT_EQ(RangeOffsets().back(), 1000000);
    EXPECT_EQ(Written(), 1000000);
}

// The stream already holds the whole archive (or more): the service answers
// 416 with the size, which completes the transfer only when it equals the offset.
TEST_F(AsyncRequestTest, ResumeAtTheEndCompletesTheTransfer)
{
    const QByteArray archive = TestFiles::Read(service_.ArchivePath(kArchive));
    out_->write(archive.constData(), archive.size());
    preWritten_ = archive.size();
    auto request = Make();
    request->SetRetryWindowLength(200);
    request->StartAutomaticRetry();
    ASSERT_TRUE(WaitFor([&] { return !response_.results.empty(); }));
    ExpectComplete();
    EXPECT_EQ(RangeOffsets(), std::vector<qint64> {ArchiveSize()});

    out_->write("extra", 5);
    request->StartAutomaticRetry();
    ASSERT_TRUE(WaitFor([&] { return response_.results.size() == 2; }));
    EXPECT_NE(response_.results.back(), IResponse::Ok);
}

TEST_F(AsyncRequestTest, WriterFailureEndsWithIOError)
{
    LogCapture log;
    QDir().mkpath(Root() + "/DATA"); // the archive's first folder entry
    const auto request = Make();
    ASSERT_TRUE(RunToResult(*request));
    Spin(200);
    EXPECT_EQ(response_.results, std::vector<IResponse::Result> {IResponse::IOError});
    EXPECT_EQ(log.Count(Log::Error, "Failed to write data: unknown exception"), 1);
    EXPECT_EQ(RangeOffsets().size(), 1u);
}

// Callers may delete the request while it reports written bytes: the
// writer is busy with a slow stream then.
class DeletingResponse : public RecordingResponse {
public:
    void OnData(qint64 bytes) override
    {
        RecordingResponse::OnData(bytes);
        request.reset();
    }
    std::unique_ptr<AsyncRequest> request;
};

TEST_F(AsyncRequestTest, DestroyedMidTransferJoinsTheWriter)
{
    // The service stalls after a first part, so the transfer is unfinished whenever the first written bytes are
    // reported, however the network's arrivals are cut.
    service_.SetFault({{"path", "/files/"}, {"kind", "stall"}, {"bytes", 1000000}, {"seconds", 30}});
    DeletingResponse response;
    response.request = std::make_unique<AsyncRequest>(&manager_, service_.ArchiveUrl(kArchive).toString(),
        QMap<QString, QString> {}, QMap<QString, QString> {}, &response, out_.get());
    out_->Throttle(1024 * 1024);
    response.request->Send();
    ASSERT_TRUE(WaitFor([&] { return !response.request; }, 30000));
    const qint64 written = out_->Total();
    Spin(100);
    EXPECT_TRUE(response.results.empty());
    EXPECT_EQ(out_->Total(), written); // the writer was joined: nothing is written after the request is gone
    EXPECT_LE(written, 1000000);
}

// A scripted reply that has finished by the time its data is read.
TEST(AsyncRequestScriptedTest, FinishedReplyIsNeverDroppedForBackPressure)
{
    FakeNetwork network({FakeAnswer {200, QByteArray(100000, 'a')}});
    AsyncWriterTestStream out;
    RecordingResponse response;
    AsyncRequest request(&network, "https://127.0.0.1:1/a.tar", {}, {}, &response, &out);
    request.SetBufferLimit(1000);
    request.Send();
    ASSERT_TRUE(WaitFor([&] { return !response.results.empty(); }));
    EXPECT_EQ(response.results, std::vector<IResponse::Result> {IResponse::Ok});
    EXPECT_EQ(network.Count(), 1);
    EXPECT_EQ(out.Total(), 100000);
}

} // namespace
