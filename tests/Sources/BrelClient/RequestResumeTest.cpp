// Resuming against the local content service: a request that writes straight into its stream (as the archive
// download does) continues behind the bytes written, and only from an answer that fits. Also the service's own
// ranges, cut connections and request log, which these tests rely on.
#include "ContentService.h"
#include "Request.h"
#include "RequestTestNetwork.h"

#include <QFile>
#include <QJsonObject>
#include <QNetworkReply>
#include <QSslConfiguration>

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
        QFile file(service.ArchivePath("EU1_2023_11.tar"));
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        archive = file.readAll().toStdString();
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
        return FirstResult(response);
    }
    void DropAfter(int bytes) { service.SetFault({{"path", "/files/"}, {"kind", "drop_after"}, {"bytes", bytes}}); }

    // A plain GET of the archive that trusts only the service's certificate, run to its end.
    std::unique_ptr<QNetworkReply> Get(const QByteArray& range = {})
    {
        QNetworkRequest get(service.ArchiveUrl("EU1_2023_11.tar"));
        QSslConfiguration tls = QSslConfiguration::defaultConfiguration();
        tls.setCaCertificates(QSslCertificate::fromPath(service.CertificatePath()));
        get.setSslConfiguration(tls);
        get.setRawHeader("Range", range);
        std::unique_ptr<QNetworkReply> reply(manager.get(get));
        WaitFor([&reply] { return reply->isFinished(); });
        return reply;
    }

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
    EXPECT_TRUE(out.str() == archive + "surplus");
}

TEST_F(RequestResumeTest, ServiceAnswersRangesCutsConnectionsAndLogsRequests)
{
    const QByteArray tar = QByteArray::fromStdString(archive);
    const QByteArray size = QByteArray::number(tar.size());
    const auto part = Get("bytes=1000-");
    EXPECT_EQ(part->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt(), 206);
    EXPECT_EQ(part->readAll(), tar.mid(1000));
    EXPECT_EQ(part->rawHeader("Content-Range"), "bytes 1000-" + QByteArray::number(tar.size() - 1) + "/" + size);
    const auto past = Get("bytes=" + size + "-");
    EXPECT_EQ(past->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt(), 416);
    EXPECT_EQ(past->rawHeader("Content-Range"), "bytes */" + size);

    DropAfter(1000);
    const auto cut = Get();
    EXPECT_EQ(cut->error(), QNetworkReply::RemoteHostClosedError);
    EXPECT_EQ(cut->readAll(), tar.left(1000));
    EXPECT_EQ(Ranges(), QStringList({"bytes=1000-", "bytes=" + size + "-", ""}));
}
