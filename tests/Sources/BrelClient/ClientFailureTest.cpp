// Failures, redirects and time-outs against the local content service.
#include "Client.h"
#include "ContentService.h"
#include "LogCapture.h"
#include "Request.h"
#include "RequestTestNetwork.h"

#include <QHostAddress>
#include <QJsonArray>
#include <QJsonObject>
#include <QTcpServer>

#include <gtest/gtest.h>

#include <memory>
#include <sstream>

using Brel::IResponse;

namespace {

class ClientFailureTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ClearProxyEnvironment();
        ASSERT_TRUE(service.Start());
        client = std::make_unique<Brel::Client>(service.BaseUrl().toStdString(), service.Key());
    }

    IResponse::Result Metadata(int timeoutMs = 5000, int windowMs = 500)
    {
        request.reset(static_cast<Brel::Request*>(client->GetMetadata(&out, "EU1_2023_11", &response)));
        request->SetTimeout(timeoutMs);
        request->SetRetryWindowLength(windowMs);
        request->SetRetryPause(50);
        request->Send();
        return FirstResult(response);
    }

    void Fault(QJsonObject rule)
    {
        if (!rule.contains("path"))
            rule["path"] = "/brel/v1/package/metadata";
        service.SetFault(rule);
    }

    QStringList Logged(const char* field) const
    {
        QStringList values;
        for (const auto& entry : service.RequestLog())
            values << entry.toObject()[field].toString();
        return values;
    }

    QString Origin() const { return QString("https://127.0.0.1:%1").arg(service.Port()); }

    ContentService service;
    std::unique_ptr<Brel::Client> client;
    RecordingResponse response;
    std::ostringstream out;
    std::unique_ptr<Brel::Request> request;
};

} // namespace

TEST_F(ClientFailureTest, ErrorStatusIsRetriedAndItsBodyNeverWritten)
{
    Fault({{"kind", "status"}, {"code", 500}, {"body", "<html>broken</html>"}, {"times", 2}});
    EXPECT_EQ(Metadata(), IResponse::Ok);
    EXPECT_EQ(Logged("path").size(), 3);
    EXPECT_EQ(out.str().find("broken"), std::string::npos);
    EXPECT_EQ(out.str().rfind("<?xml", 0), 0u) << out.str();
}

TEST_F(ClientFailureTest, NotFoundAndRefusedKeyEndAsServerErrorAfterTheWindow)
{
    Fault({{"kind", "status"}, {"code", 404}, {"times", -1}});
    EXPECT_EQ(Metadata(), IResponse::ServerError);
    EXPECT_GT(Logged("path").size(), 1);
    EXPECT_EQ(out.str(), "");

    service.ClearFaults();
    response.results.clear();
    client = std::make_unique<Brel::Client>(service.BaseUrl().toStdString(), "wrong");
    EXPECT_EQ(Metadata(), IResponse::ServerError);
    EXPECT_EQ(out.str(), "");
}

TEST_F(ClientFailureTest, BrokenConnectionIsRetriedWithAFreshBody)
{
    Fault({{"kind", "drop_after"}, {"bytes", 40}});
    EXPECT_EQ(Metadata(), IResponse::Ok);
    EXPECT_EQ(Logged("path").size(), 2);
    EXPECT_EQ(out.str().rfind("<?xml", 0), 0u) << out.str();
    EXPECT_EQ(out.str().find("<?xml", 1), std::string::npos) << out.str();
    EXPECT_FALSE(service.RequestLog().last().toObject()["headers"].toObject().contains("Range"));
}

TEST_F(ClientFailureTest, RedirectsAbsoluteAndRelativeAreFollowedWithTheArgumentsAsQuery)
{
    LogCapture log;
    const QString key = service.Key().c_str();
    Fault({{"kind", "redirect"}, {"location", Origin() + "/brel/v1/package/alias?x=1&key=" + key}});
    Fault({{"path", "/brel/v1/package/alias"}, {"kind", "redirect"}, {"location", "metadata?y=2"}, {"code", 301}});
    EXPECT_EQ(Metadata(), IResponse::Ok);
    EXPECT_EQ(Logged("path"),
        QStringList({"/brel/v1/package/metadata", "/brel/v1/package/alias", "/brel/v1/package/metadata"}));
    const QString query = QString("id=EU1_2023_11&key=") + service.Key().c_str();
    EXPECT_EQ(Logged("query"), QStringList({query, query, query}));
    EXPECT_EQ(out.str().find("moved"), std::string::npos);
    EXPECT_EQ(log.Count(Log::Debug,
                  "Redirecting request to: " + Origin().toStdString() + "/brel/v1/package/alias?x=1&key=******"),
        1);
    for (const auto& record : log.Records())
        EXPECT_EQ(record.message.find(key.toStdString()), std::string::npos) << record.message;
}

TEST_F(ClientFailureTest, RedirectLoopEndsAsServerErrorAfterTenHops)
{
    Fault({{"kind", "redirect"}, {"loop", true}});
    EXPECT_EQ(Metadata(), IResponse::ServerError);
    EXPECT_EQ(Logged("path").size(), 11);
    Spin(200);
    EXPECT_EQ(Logged("path").size(), 11);
}

TEST_F(ClientFailureTest, RedirectToPlainHttpIsRefused)
{
    Fault({{"kind", "redirect"},
        {"location", QString("http://127.0.0.1:%1/brel/v1/package/metadata").arg(service.Port())}});
    EXPECT_EQ(Metadata(), IResponse::ServerError);
    Spin(200);
    EXPECT_EQ(Logged("path").size(), 1);
}

TEST_F(ClientFailureTest, SilenceAfterSomeDataTimesOutAndIsResent)
{
    Fault({{"kind", "stall"}, {"bytes", 20}, {"seconds", 3}});
    EXPECT_EQ(Metadata(300), IResponse::Ok);
    EXPECT_EQ(Logged("path").size(), 2);
    EXPECT_EQ(out.str().rfind("<?xml", 0), 0u) << out.str();
}

TEST_F(ClientFailureTest, ServiceThatNeverAnswersEndsAsNoConnection)
{
    Fault({{"kind", "delay"}, {"seconds", 2}, {"times", -1}});
    EXPECT_EQ(Metadata(150, 400), IResponse::NoConnection);
    EXPECT_GE(Logged("path").size(), 2);
    EXPECT_EQ(out.str(), "");
}

TEST_F(ClientFailureTest, ConnectionsCutEveryTimeEndAsNoConnectionRefusedOnesAsServerError)
{
    Fault({{"kind", "drop_after"}, {"bytes", 0}, {"times", -1}});
    EXPECT_EQ(Metadata(), IResponse::NoConnection);
    EXPECT_GT(Logged("path").size(), 1);

    QTcpServer closed;
    ASSERT_TRUE(closed.listen(QHostAddress::LocalHost));
    const quint16 port = closed.serverPort();
    closed.close();
    response.results.clear();
    client = std::make_unique<Brel::Client>(QString("https://127.0.0.1:%1/brel/v1").arg(port).toStdString(), "k");
    EXPECT_EQ(Metadata(), IResponse::ServerError);
}

TEST_F(ClientFailureTest, UntrustedCertificateIsNeverAccepted)
{
    ::setenv("SSL_CERT_FILE", "/nonexistent.pem", 1);
    EXPECT_EQ(Metadata(5000, 200), IResponse::ServerError);
    EXPECT_EQ(Logged("path").size(), 0);
    EXPECT_EQ(out.str(), "");
}
