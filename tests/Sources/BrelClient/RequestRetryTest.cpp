#include "LogCapture.h"
#include "Request.h"
#include "RequestTestNetwork.h"

#include <gtest/gtest.h>

#include <memory>
#include <sstream>

using Brel::IResponse;

namespace {

const QString kUrl = "https://service.invalid/brel/v1/package/metadata";

// One request on a scripted network, with short windows so tests stay fast.
class RequestTest : public ::testing::Test {
protected:
    void Make(std::vector<FakeAnswer> script, int windowMs = 300, int pauseMs = 0)
    {
        network.SetScript(std::move(script));
        request
            = std::make_unique<Brel::Request>(&network, kUrl, QMap<QString, QString> {{"Accept", "application/xml"}},
                QMap<QString, QString> {{"id", "P1"}, {"key", "SECRET-KEY"}}, &response, &out);
        request->SetTimeout(2000);
        request->SetRetryWindowLength(windowMs);
        request->SetRetryPause(pauseMs);
    }
    bool Finished()
    {
        return WaitFor([this] { return !response.results.empty(); });
    }
    IResponse::Result Run()
    {
        request->Send();
        return Finished() ? response.results.front() : static_cast<IResponse::Result>(7);
    }

    FakeNetwork network;
    RecordingResponse response;
    std::ostringstream out;
    std::unique_ptr<Brel::Request> request;
};

FakeAnswer Failure(int code, QByteArray body = {})
{
    FakeAnswer answer;
    answer.status = code == QNetworkReply::ContentNotFoundError ? 404 : 0;
    answer.error = code;
    answer.body = std::move(body);
    return answer;
}

FakeAnswer Hang()
{
    FakeAnswer answer;
    answer.hang = true;
    return answer;
}

} // namespace

TEST_F(RequestTest, OkWritesTheWholeBodyOnceAndReportsOnce)
{
    Make({Answer(200, "<list><packageId>P</packageId></list>")});
    EXPECT_EQ(Run(), IResponse::Ok);
    EXPECT_EQ(out.str(), "<list><packageId>P</packageId></list>");
    EXPECT_EQ(response.data, std::vector<qint64> {37});
    Spin(50);
    EXPECT_EQ(response.results.size(), 1u);
    EXPECT_EQ(network.Count(), 1);
}

TEST_F(RequestTest, FinalResultFollowsTheLastErrorCode)
{
    const std::vector<std::pair<int, IResponse::Result>> table = {
        {QNetworkReply::RemoteHostClosedError, IResponse::NoConnection},
        {QNetworkReply::HostNotFoundError, IResponse::NoConnection},
        {QNetworkReply::UnknownNetworkError, IResponse::NoConnection},
        {QNetworkReply::UnknownContentError, IResponse::NoConnection},
        {QNetworkReply::ConnectionRefusedError, IResponse::ServerError},
        {QNetworkReply::SslHandshakeFailedError, IResponse::ServerError},
        {QNetworkReply::ContentNotFoundError, IResponse::ServerError},
        {QNetworkReply::InternalServerError, IResponse::ServerError},
    };
    for (const auto& [code, expected] : table) {
        response.results.clear();
        Make({Failure(code)}, 60, 10);
        EXPECT_EQ(Run(), expected) << "code " << code;
    }
}

TEST_F(RequestTest, ConfiguredRequestWithNothingWrittenReportsLostHostAtOnce)
{
    for (const int code :
        {QNetworkReply::HostNotFoundError, QNetworkReply::UnknownNetworkError, QNetworkReply::UnknownContentError}) {
        response.results.clear();
        FakeNetwork fresh({Failure(code)});
        Brel::Request request(&fresh, kUrl, {}, {}, &response, &out);
        request.ReadRetryDurationFromConfig();
        request.Send();
        ASSERT_TRUE(Finished());
        EXPECT_EQ(response.results.front(), IResponse::NoConnection);
        EXPECT_EQ(fresh.Count(), 1) << "code " << code;
    }
}

TEST_F(RequestTest, ConfiguredRequestRetriesOtherCodesAndLostHostAfterBytesWereWritten)
{
    Make({Failure(QNetworkReply::RemoteHostClosedError)});
    request->ReadRetryDurationFromConfig();
    request->SetRetryWindowLength(200);
    EXPECT_EQ(Run(), IResponse::NoConnection);
    EXPECT_GT(network.Count(), 1);

    response.results.clear();
    Make({Failure(QNetworkReply::HostNotFoundError)});
    request->ReadRetryDurationFromConfig();
    request->SetRetryWindowLength(200);
    request->GetDownloadedbytes(1000);
    const int before = network.Count();
    EXPECT_EQ(Run(), IResponse::NoConnection);
    EXPECT_GT(network.Count() - before, 1);
}

TEST_F(RequestTest, FailuresThatComeBackAtOnceAreResentAboutOncePerPause)
{
    Make({Failure(QNetworkReply::ConnectionRefusedError)}, 1000, 400);
    EXPECT_EQ(Run(), IResponse::ServerError);
    // 0, 400 and 800 ms (and maybe once more at the very end); a tight loop
    // would have sent hundreds.
    EXPECT_GE(network.Count(), 2);
    EXPECT_LE(network.Count(), 4);
    const int sent = network.Count();
    Spin(600); // nothing is resent after the final result
    EXPECT_EQ(network.Count(), sent);
    EXPECT_EQ(response.results.size(), 1u);
}

TEST_F(RequestTest, ResultInsideAWindowClosesItSoAResumeSendsAgain)
{
    Make({Failure(QNetworkReply::RemoteHostClosedError), Answer(200, "<a/>")}, 5000);
    EXPECT_EQ(Run(), IResponse::Ok);
    EXPECT_EQ(network.Count(), 2);
    request->StartAutomaticRetry();
    ASSERT_TRUE(WaitFor([this] { return response.results.size() == 2; }));
    EXPECT_EQ(network.Count(), 3);
    EXPECT_EQ(response.results.back(), IResponse::Ok);
}

TEST_F(RequestTest, AbortDeletionAndSendCancelAPendingResend)
{
    LogCapture log;
    Make({Failure(QNetworkReply::ConnectionRefusedError)}, 5000, 200);
    request->Send();
    Spin(60); // the refusal came back; a resend waits
    request->Abort();
    Spin(300);
    EXPECT_EQ(network.Count(), 1);

    network.SetScript({Hang()});
    request->Send();
    Spin(300);
    EXPECT_EQ(network.Count(), 2);
    EXPECT_EQ(log.Count(Log::Warning, "Request is already in progress"), 0);

    Make({Failure(QNetworkReply::ConnectionRefusedError)}, 5000, 200);
    const int before = network.Count();
    request->Send();
    Spin(60);
    request.reset();
    Spin(300);
    EXPECT_EQ(network.Count(), before + 1);
    EXPECT_TRUE(response.results.empty());
}

TEST_F(RequestTest, RequestMayBeDeletedInsideItsResult)
{
    Make({Answer(200, "<a/>")});
    response.onResult = [this](IResponse::Result) { request.reset(); };
    request->Send();
    ASSERT_TRUE(Finished());
    Spin(50);
    EXPECT_FALSE(request);
    EXPECT_EQ(out.str(), "<a/>");
}

TEST_F(RequestTest, QueuedSignalsOfAnAbortedReplyAreIgnored)
{
    Make({Answer(200, "<old/>"), Hang()});
    network.Hold(true);
    request->Send();
    network.PlayHeld(); // its readyRead and finished are now queued
    request->Abort();
    request->Send();
    Spin(100);
    EXPECT_TRUE(response.results.empty());
    EXPECT_EQ(out.str(), "");
}

TEST_F(RequestTest, RetryOfAnAnswerKeptInMemoryNeverAsksForARange)
{
    Make({Answer(200, "<a/>")});
    out << "earlier content";
    request->Retry();
    ASSERT_TRUE(Finished());
    EXPECT_FALSE(network.Requests()[0].hasRawHeader("Range"));
    EXPECT_EQ(out.str(), "earlier content<a/>");
}

TEST_F(RequestTest, TimeoutMeasuresSilenceNotTheWholeTransfer)
{
    FakeAnswer slow = Answer(200, "<abcdefgh/>");
    slow.trickleMs = 30; // 360 ms in all, never 150 ms without data
    Make({slow});
    request->SetTimeout(150);
    EXPECT_EQ(Run(), IResponse::Ok);
    EXPECT_EQ(network.Count(), 1);
    EXPECT_EQ(out.str(), "<abcdefgh/>");
}

TEST_F(RequestTest, WriterFailureAndRefusingStreamReportIOError)
{
    LogCapture log;
    Make({Hang()});
    request->Send();
    request->Abort(QString("stick removed"));
    ASSERT_TRUE(Finished());
    EXPECT_EQ(response.results.front(), IResponse::IOError);
    EXPECT_EQ(log.Count(Log::Error, "Failed to write data: stick removed"), 1);

    response.results.clear();
    Make({Answer(200, "<a/>")});
    out.setstate(std::ios::badbit);
    EXPECT_EQ(Run(), IResponse::IOError);
}

TEST_F(RequestTest, WindowIsTenSecondsUnlessReadFromConfiguration)
{
    LogCapture log;
    network.SetScript({Failure(QNetworkReply::ConnectionRefusedError), Hang()});
    Brel::Request plain(&network, kUrl, {}, {}, &response, &out);
    plain.Send();
    ASSERT_TRUE(WaitFor([this] { return network.Count() == 2; }, 3000));
    EXPECT_EQ(log.Count(Log::Debug, "Auto Retry - Creating a timer with timeout interval: 10000"), 1);
}

TEST(ResponseResult, PrintsItsNameAndNothingForOtherValues)
{
    std::ostringstream names;
    for (int value = 0; value <= 7; ++value)
        names << static_cast<IResponse::Result>(value) << ",";
    EXPECT_EQ(names.str(), "Ok,ContentError,ServerError,NoConnection,IOError,,,,");
}
