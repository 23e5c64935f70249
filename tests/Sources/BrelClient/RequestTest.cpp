// The retry window of a request on a scripted network, and its length as configured.
#include "Request.h"
#include "Config.h"
#include "LogCapture.h"
#include "RequestTestNetwork.h"

#include <QFile>

#include <gtest/gtest.h>

#include <memory>
#include <sstream>

using Brel::IResponse;

namespace {

// A failure without an HTTP status, or (code 0) a 200 with the body.
FakeAnswer Scripted(int code, const QByteArray& body = {}, bool hang = false)
{
    return {code ? 0 : 200, body, code, {}, {}, hang};
}

const FakeAnswer kHang = Scripted(0, {}, true);

class RequestTest : public ::testing::Test {
protected:
    std::unique_ptr<Brel::Request> Make(FakeNetwork& network, int windowMs, int pauseMs, int timeoutMs = 2000)
    {
        auto request = std::make_unique<Brel::Request>(&network, "https://service.invalid/brel/v1/package/metadata",
            QMap<QString, QString> {}, QMap<QString, QString> {{"key", "k"}}, &response, &out);
        request->SetTimeout(timeoutMs);
        request->SetRetryWindowLength(windowMs);
        request->SetRetryPause(pauseMs);
        return request;
    }
    bool Results(std::size_t count)
    {
        return WaitFor([&] { return response.results.size() == count; });
    }

    RecordingResponse response;
    std::ostringstream out;
};

} // namespace

TEST_F(RequestTest, ImmediateFailureWaitsForThePauseButATimeOutIsResentAtOnce)
{
    FakeNetwork refusing({Scripted(QNetworkReply::ConnectionRefusedError)});
    auto request = Make(refusing, 1000, 400);
    request->Send();
    ASSERT_TRUE(Results(1));
    EXPECT_EQ(response.results[0], IResponse::ServerError);
    EXPECT_GE(refusing.Count(), 2); // at 0, 400 and 800 ms, not hundreds in a tight loop
    EXPECT_LE(refusing.Count(), 4);

    FakeNetwork silent({kHang});
    request = Make(silent, 700, 5000, 100);
    request->Send();
    ASSERT_TRUE(Results(2));
    EXPECT_EQ(response.results[1], IResponse::NoConnection);
    EXPECT_GE(silent.Count(), 4);
}

TEST_F(RequestTest, AbortDeletionAndSendCancelAPendingResend)
{
    LogCapture log;
    FakeNetwork network({Scripted(QNetworkReply::ConnectionRefusedError), kHang});
    auto request = Make(network, 5000, 200);
    request->Send();
    Spin(60); // the refusal came back; a resend waits
    request->Abort();
    Spin(300);
    EXPECT_EQ(network.Count(), 1);

    request->Send(); // hangs
    Spin(300);
    EXPECT_EQ(network.Count(), 2);
    EXPECT_EQ(log.Count(Log::Warning, "Request is already in progress"), 0);

    FakeNetwork other({Scripted(QNetworkReply::ConnectionRefusedError)});
    request = Make(other, 5000, 200);
    request->Send();
    Spin(60);
    request.reset();
    Spin(300);
    EXPECT_EQ(other.Count(), 1);
    EXPECT_TRUE(response.results.empty());
}

TEST_F(RequestTest, ResultClosesTheRetryWindow)
{
    FakeNetwork network({Scripted(QNetworkReply::RemoteHostClosedError), Scripted(0, "<a/>")});
    auto request = Make(network, 5000, 0);
    request->Send();
    ASSERT_TRUE(Results(1));
    EXPECT_EQ(response.results[0], IResponse::Ok);
    request->StartAutomaticRetry(); // opens a new window, so it sends again
    ASSERT_TRUE(Results(2));
    EXPECT_EQ(network.Count(), 3);
}

TEST_F(RequestTest, QueuedSignalsOfAnAbortedReplyAreIgnored)
{
    FakeNetwork network({Scripted(0, "<old/>"), kHang});
    auto request = Make(network, 300, 0);
    network.Hold(true);
    request->Send();
    network.PlayHeld(); // its readyRead and finished are now queued
    request->Abort();
    request->Send();
    Spin(100);
    EXPECT_TRUE(response.results.empty());
    EXPECT_EQ(out.str(), "");
}

TEST_F(RequestTest, ConfiguredRequestReportsALostHostAtOnceUnlessBytesWereWritten)
{
    FakeNetwork network({Scripted(QNetworkReply::HostNotFoundError)});
    auto request = Make(network, 0, 20);
    request->ReadRetryDurationFromConfig();
    request->Send();
    ASSERT_TRUE(Results(1));
    EXPECT_EQ(response.results[0], IResponse::NoConnection);
    EXPECT_EQ(network.Count(), 1);

    request->SetRetryWindowLength(200);
    request->GetDownloadedbytes(1000);
    request->Send();
    ASSERT_TRUE(Results(2));
    EXPECT_GT(network.Count(), 2);
}

TEST(RequestRetryDuration, WholeMinutesFromOneToTenElseThree)
{
    const std::pair<QByteArray, int> table[] = {
        {"2.5", 180000}, // rounded half away from zero
        {"0", 60000}, {"10.4", 600000}, {"42", 600000}, {"\"7\"", 420000}, {"\"abc\"", 180000}, {"", 180000}, // no file
        {"{", 180000}, // broken JSON
    };
    const QString path = Config::Instance().ConfigFilePath();
    for (const auto& [value, window] : table) {
        QFile::remove(path);
        QFile file(path);
        if (!value.isEmpty() && file.open(QIODevice::WriteOnly))
            file.write(R"({"MapDownload":{"RetryDuration":)" + value + "}}");
        file.close();
        FakeNetwork network;
        RecordingResponse response;
        Brel::Request request(&network, "https://service.invalid/a.tar", {}, {}, &response, nullptr);
        EXPECT_EQ(request.ReadRetryDurationFromConfig(), window) << value.constData();
    }
}
