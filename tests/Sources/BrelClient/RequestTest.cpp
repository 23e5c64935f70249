#include "BrelTest.h"
#include "Config.h"

const FakeAnswer kHang {-1, {}, 0}, kRefused {0, {}, QNetworkReply::ConnectionRefusedError};

struct RequestTest : BrelTest {
    std::unique_ptr<Brel::Request> Make(FakeNetwork& network, int windowMs, int pauseMs, int timeoutMs = 2000)
    {
        auto request = std::make_unique<Brel::Request>(&network, "https://service.invalid/", QMap<QString, QString> {},
            QMap<QString, QString> {}, &response, &out);
        request->SetTimeout(timeoutMs);
        request->SetRetryWindowLength(windowMs);
        request->SetRetryPause(pauseMs);
        request->Send();
        return request;
    }
};

TEST_F(RequestTest, ImmediateFailureWaitsForThePauseButATimeOutIsResentAtOnce)
{
    FakeNetwork refusing({kRefused});
    auto request = Make(refusing, 1000, 400);
    EXPECT_EQ(Result(0), IResponse::ServerError);
    EXPECT_TRUE(refusing.count >= 2 && refusing.count <= 4) << refusing.count; // at 0, 400 and 800 ms, not hundreds

    FakeNetwork silent({kHang});
    request = Make(silent, 700, 5000, 100);
    EXPECT_EQ(Result(1), IResponse::NoConnection);
    EXPECT_GE(silent.count, 4);
}

TEST_F(RequestTest, NothingActsForAnAttemptThatWasCancelled)
{
    LogCapture log;
    const auto resendWaits = [&](int times) {
        return WaitFor([&] { return log.Count(Log::Debug, "Auto Retry - Resending in") == times; });
    };
    FakeNetwork network({kRefused, kRefused, kHang}), other({kRefused}), queued({FakeAnswer {200, "<old/>"}, kHang});
    auto request = Make(network, 5000, 200);
    ASSERT_TRUE(resendWaits(1));
    request->Abort();
    QTest::qWait(300);
    EXPECT_EQ(network.count, 1);
    request->Send(); // refused again: a resend waits once more
    ASSERT_TRUE(resendWaits(2));
    request->Send(); // hangs
    QTest::qWait(300);
    EXPECT_EQ(network.count, 3);
    EXPECT_EQ(log.Count(Log::Warning, "Request is already in progress"), 0);

    request = Make(other, 5000, 200);
    ASSERT_TRUE(resendWaits(3));
    request.reset();
    QTest::qWait(300);
    EXPECT_EQ(other.count, 1);

    request = Make(queued, 300, 0);
    queued.last->Play(); // its readyRead and finished are now queued
    request->Abort();
    request->Send();
    QTest::qWait(500);
    EXPECT_TRUE(response.results.empty());
    EXPECT_EQ(log.Count(Log::Warning, "Request is already in progress"), 0);
    EXPECT_EQ(out.str(), "");
}

// A result closes the window (a new one sends again). The codes of a lost connection end in NoConnection when the
// window runs out; a configured request ends at once on a lost host (not on a closed connection) unless bytes were
// written.
TEST_F(RequestTest, TheWindowEndsWithAResultOrALostHost)
{
    FakeNetwork network({FakeAnswer {0, {}, QNetworkReply::RemoteHostClosedError}, FakeAnswer {200, "<a/>"}});
    auto request = Make(network, 5000, 0);
    EXPECT_EQ(Result(0), IResponse::Ok);
    request->StartAutomaticRetry();
    EXPECT_EQ(Result(1), IResponse::Ok);
    EXPECT_EQ(network.count, 3);

    for (const auto& [code, atOnce] : std::vector<std::pair<int, bool>> {{QNetworkReply::RemoteHostClosedError, false},
             {QNetworkReply::HostNotFoundError, true}, {QNetworkReply::UnknownNetworkError, true},
             {QNetworkReply::UnknownContentError, true}}) {
        SCOPED_TRACE(code);
        FakeNetwork lost({FakeAnswer {0, {}, code}});
        request = Make(lost, 0, 20);
        request->ReadRetryDurationFromConfig();
        request->SetRetryWindowLength(200);
        request->GetDownloadedbytes(1000);
        EXPECT_EQ(Result(response.results.size()), IResponse::NoConnection);
        const int sent = lost.count;
        EXPECT_GT(sent, 2);
        request->GetDownloadedbytes(0);
        request->Send();
        EXPECT_EQ(Result(response.results.size()), IResponse::NoConnection);
        EXPECT_EQ(lost.count == sent + 1, atOnce) << lost.count - sent;
    }
}

// Rounded half away from zero; no file (""), broken JSON or no number give three.
TEST(RequestRetryDuration, WholeMinutesFromOneToTenElseThree)
{
    const QString path = Config::Instance().ConfigFilePath();
    for (const auto& [value, window] : std::vector<std::pair<QByteArray, int>> {{"2.5", 180000}, {"0", 60000},
             {"10.4", 600000}, {"\"7\"", 420000}, {"\"abc\"", 180000}, {"", 180000}, {"{", 180000}}) {
        QFile::remove(path);
        if (!value.isEmpty()) {
            ASSERT_TRUE(TestFiles::Write(path, R"({"MapDownload":{"RetryDuration":)" + value + "}}"));
        }
        FakeNetwork network;
        RecordingResponse response;
        Brel::Request request(&network, "https://service.invalid/a.tar", {}, {}, &response, nullptr);
        EXPECT_EQ(request.ReadRetryDurationFromConfig(), window) << value.constData();
    }
    QFile::remove(path);
}
