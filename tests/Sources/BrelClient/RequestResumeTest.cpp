// Resuming against the local content service: a request that writes straight
// into its stream (as the streamed archive download does) continues from the
// bytes written, and only from an answer that fits.
#include "ContentService.h"
#include "Request.h"
#include "RequestTestNetwork.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonObject>
#include <QNetworkAccessManager>

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
};

class RequestResumeTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ClearProxyEnvironment();
        ASSERT_TRUE(service.Start());
        QFile file(service.ArchivePath(kArchive));
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        archive = file.readAll().toStdString();
        ASSERT_GT(archive.size(), 20000u);
        request = std::make_unique<StreamingRequest>(&manager, service.ArchiveUrl(kArchive).toString(),
            QMap<QString, QString> {{"Accept", "application/x-tar"}}, QMap<QString, QString> {}, &response, &out);
        request->SetTimeout(5000);
        request->SetRetryWindowLength(1000);
        request->SetRetryPause(50);
    }

    IResponse::Result Finish() { return FirstResult(response); }

    QStringList Ranges() const
    {
        QStringList ranges;
        for (const auto& entry : service.RequestLog())
            ranges << entry.toObject()["headers"].toObject()["Range"].toString();
        return ranges;
    }

    void DropAfter(int bytes) { service.SetFault({{"path", "/files/"}, {"kind", "drop_after"}, {"bytes", bytes}}); }

    const QString kArchive = "EU1_2023_11.tar";
    ContentService service;
    QNetworkAccessManager manager;
    RecordingResponse response;
    std::ostringstream out;
    std::string archive;
    std::unique_ptr<StreamingRequest> request;
};

} // namespace

TEST_F(RequestResumeTest, BrokenTransferContinuesFromTheBytesWritten)
{
    DropAfter(5000);
    request->Send();
    EXPECT_EQ(Finish(), IResponse::Ok);
    EXPECT_TRUE(out.str() == archive);
    const QStringList ranges = Ranges();
    ASSERT_EQ(ranges.size(), 2);
    EXPECT_EQ(ranges[0], "");
    EXPECT_TRUE(ranges[1].startsWith("bytes=")) << ranges[1].toStdString();
    EXPECT_EQ(ranges[1], "bytes=5000-");
}

TEST_F(RequestResumeTest, WholeAnswerToARangeHasTheWrittenBytesSkipped)
{
    DropAfter(7000);
    service.SetFault({{"path", "/files/"}, {"kind", "ignore_range"}});
    request->Send();
    EXPECT_EQ(Finish(), IResponse::Ok);
    EXPECT_TRUE(out.str() == archive);
    EXPECT_EQ(Ranges().size(), 2);
}

TEST_F(RequestResumeTest, RangePastTheEndIsAFailedAttemptEndingAsServerError)
{
    out << archive << "surplus";
    request->Retry();
    EXPECT_EQ(Finish(), IResponse::ServerError);
    EXPECT_GT(Ranges().size(), 1);
    EXPECT_EQ(Ranges().front(), QString("bytes=%1-").arg(archive.size() + 7));
    EXPECT_TRUE(out.str() == archive + "surplus");
}

TEST_F(RequestResumeTest, FreshStreamSendsNoRange)
{
    request->Retry();
    EXPECT_EQ(Finish(), IResponse::Ok);
    EXPECT_EQ(Ranges(), QStringList({""}));
    EXPECT_TRUE(out.str() == archive);
}
