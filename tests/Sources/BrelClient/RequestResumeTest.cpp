// Resuming against the local content service: a request that writes straight into its stream (as the archive
// download does) continues behind the bytes written, and only from an answer that fits.
#include "ContentService.h"
#include "Request.h"
#include "RequestTestNetwork.h"
#include "TestFiles.h"
#include "TestHome.h"

#include <QJsonObject>
#include <QNetworkReply>

#include <gtest/gtest.h>

#include <memory>
#include <sstream>

using Brel::IResponse;

namespace {

class StreamingRequest : public Brel::Request {
public:
    using Request::Request;

protected:
    qint64 ResumeOffset() const override { return static_cast<qint64>(out_->tellp()); }
    void BeginAttempt() override { }
    void Deliver(const QByteArray& body) override { out_->write(body.constData(), body.size()); }
    bool CompleteAttempt() override { return true; }

public:
    // Each answer's status and "Content-Range", as the service sent them.
    void OnFinished() override
    {
        answers << reply_->attribute(QNetworkRequest::HttpStatusCodeAttribute).toString() + " "
                + reply_->rawHeader("Content-Range");
        Request::OnFinished();
    }
    QStringList answers;
};

class RequestResumeTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        TestHome::ClearProxies();
        ASSERT_TRUE(service.Start());
        archive = TestFiles::Read(service.ArchivePath("EU1_2023_11.tar")).toStdString();
        ASSERT_FALSE(archive.empty());
        request = std::make_unique<StreamingRequest>(&manager, service.ArchiveUrl("EU1_2023_11.tar").toString(),
            QMap<QString, QString> {}, QMap<QString, QString> {}, &response, &out);
    }

    // Sends from what the stream holds and waits for the result.
    IResponse::Result Resume()
    {
        request->SetTimeout(5000);
        request->SetRetryWindowLength(1000);
        request->SetRetryPause(50);
        request->Retry();
        return WaitFor([&] { return !response.results.empty(); }, 20000) ? response.results.front()
                                                                         : IResponse::Result(7);
    }
    void DropAfter(int bytes) { service.SetFault({{"path", "/files/"}, {"kind", "drop_after"}, {"bytes", bytes}}); }

    QStringList Ranges() const
    {
        QStringList ranges;
        for (const auto& entry : service.RequestLog())
            ranges << entry.toObject()["headers"].toObject()["Range"].toString();
        return ranges;
    }

    ContentService service;
    QNetworkAccessManager manager;
    RecordingResponse response;
    std::ostringstream out;
    std::string archive;
    std::unique_ptr<StreamingRequest> request;
};

} // namespace

TEST_F(RequestResumeTest, PartialAnswerAtTheOffsetContinuesTheTransfer)
{
    DropAfter(5000);
    EXPECT_EQ(Resume(), IResponse::Ok);
    EXPECT_TRUE(out.str() == archive);
    EXPECT_EQ(Ranges(), QStringList({"", "bytes=5000-"}));
    const QString partial = QString("206 bytes 5000-%1/%2").arg(archive.size() - 1).arg(archive.size());
    EXPECT_EQ(request->answers, QStringList({"200 ", partial}));
}

TEST_F(RequestResumeTest, WholeAnswerToARangeHasTheWrittenBytesSkipped)
{
    DropAfter(7000);
    service.SetFault({{"path", "/files/"}, {"kind", "ignore_range"}});
    EXPECT_EQ(Resume(), IResponse::Ok);
    EXPECT_TRUE(out.str() == archive);
    EXPECT_EQ(Ranges(), QStringList({"", "bytes=7000-"}));
}

TEST_F(RequestResumeTest, AnyOtherAnswerFails)
{
    out << archive << "surplus"; // the service answers 416
    EXPECT_EQ(Resume(), IResponse::ServerError);
    EXPECT_EQ(Ranges().front(), QString("bytes=%1-").arg(archive.size() + 7));
    EXPECT_EQ(request->answers.front(), QString("416 bytes */%1").arg(archive.size()));
    EXPECT_TRUE(out.str() == archive + "surplus");
}

// A redirect answering a resumed request is followed with the same range, and its target's answer is judged.
// Every request for the archive's own address is redirected to its second address.
TEST_F(RequestResumeTest, ARedirectOnResumeIsFollowedWithTheSameRange)
{
    DropAfter(5000);
    service.SetFault({{"path", "/files/EU1_2023_11.tar"}, {"kind", "redirect"}, {"times", -1},
        {"location", "/mirror/EU1_2023_11.tar"}});
    EXPECT_EQ(Resume(), IResponse::Ok);
    EXPECT_TRUE(out.str() == archive);
    EXPECT_EQ(Ranges(), QStringList({"", "bytes=5000-", "bytes=5000-"}));
}
