#include "BrelTest.h"

#include <QSslKey>
#include <QSslSocket>
#include <QTcpServer>

const QString kMetadata = "/brel/v1/package/metadata";

// Answers with a canned reply, over TLS of one protocol with the given service's certificate, keeping the heads.
struct CannedServer : QTcpServer {
    CannedServer(QByteArray answer, const ContentService* tls = nullptr, QSsl::SslProtocol protocol = {})
        : answer(std::move(answer))
        , tls(tls)
        , protocol(protocol)
    {
    }
    void incomingConnection(qintptr descriptor) override
    {
        auto* socket = new QSslSocket(this);
        socket->setSocketDescriptor(descriptor);
        connect(socket, &QSslSocket::readyRead, this, [this, socket] {
            if (socket->peek(4096).contains("\r\n\r\n"))
                heads << socket->readAll(), socket->write(answer), socket->disconnectFromHost();
        });
        if (tls) {
            socket->setPrivateKey(QSslKey(TestFiles::Read(tls->StateDir() + "/key.pem"), QSsl::Ec));
            socket->setLocalCertificateChain(QSslCertificate::fromPath(tls->CertificatePath()));
            socket->setProtocol(protocol);
            socket->startServerEncryption();
        }
    }
    const QByteArray answer;
    const ContentService* tls;
    const QSsl::SslProtocol protocol;
    QList<QByteArray> heads;
};

const QByteArray kProxyAnswer
    = "HTTP/1.1 407 Proxy Authentication Required\r\nProxy-Authenticate: Basic realm=\"t\"\r\n"
      "Content-Length: 0\r\nConnection: close\r\n\r\n";

struct ClientTest : BrelTest {
    void SetUp() override
    {
        BrelTest::SetUp();
        ASSERT_TRUE(service.Start());
        key = QString::fromStdString(service.Key());
        Connect(service.BaseUrl());
    }
    void Connect(const QString& base) { client = std::make_unique<Brel::Client>(base.toStdString(), service.Key()); }
    IResponse::Result Run(Brel::IRequest* made, int windowMs = 500, int pauseMs = 50)
    {
        response = RecordingResponse();
        out.str("");
        request.reset(made);
        request->SetTimeout(5000);
        static_cast<Brel::Request&>(*request).SetRetryWindowLength(windowMs);
        static_cast<Brel::Request&>(*request).SetRetryPause(pauseMs);
        request->Send();
        return Result();
    }
    IResponse::Result Metadata() { return Run(client->GetMetadata(&out, "EU1_2023_11", &response)); }
    IResponse::Result Roots(int window = 500, int pause = 50)
    {
        return Run(client->GetAllRoots(&out, &response), window, pause);
    }
    QJsonObject Logged(int index = -1) const
    {
        return service.RequestLog().at(index < 0 ? service.RequestLog().size() - 1 : index).toObject();
    }
    QString Header(const char* name) const { return Logged()["headers"].toObject()[name].toString(); }
    QString key;
    std::unique_ptr<Brel::Client> client;
    std::unique_ptr<Brel::IRequest> request;
};

// The metadata request's path, query and headers are checked with every outcome below.
TEST_F(ClientTest, NamesAndMapContentSendTheirHeadersAndArgumentsArriveAsGiven)
{
    ASSERT_EQ(Run(client->GetLocaleData(&out, "EU1_2023_11", "de-DE", &response)), IResponse::Ok);
    EXPECT_EQ(Logged()["path"].toString(), "/brel/v1/package/localedata");
    EXPECT_EQ(Header("Accept-Language"), "de-DE"); // Qt sends "en,*" otherwise
    EXPECT_EQ(response.Written(), qint64(out.str().size()));
    ASSERT_EQ(Run(client->GetLocaleContentData(&out, "EU1_2023_11", "fr-FR", &response)), IResponse::Ok);
    EXPECT_EQ(Logged()["path"].toString() + "?" + Logged()["query"].toString(),
        "/brel/v1/package/localecontentdata?id=EU1_2023_11&key=" + key);
    EXPECT_EQ(Header("Accept-Language"), "fr-FR");
    // The map content URL's own query is dropped; resume offsets count the bytes as sent, not as inflated.
    Brel::Client archives(service.ArchiveUrl("EU1_2023_05.tar").toString().toStdString() + "?signature=abc", "");
    ASSERT_EQ(Run(archives.GetMapContent(&out, &response)), IResponse::Ok);
    EXPECT_EQ(Logged()["path"].toString() + Logged()["query"].toString(), "/files/EU1_2023_05.tar");
    EXPECT_EQ(Header("Accept") + Header("Content-type") + Header("Accept-Encoding"), "application/x-taridentity");
    // An id the service does not know arrives as given, whatever its characters.
    EXPECT_EQ(Run(client->GetMetadata(&out, "A&B=C+D \xC3\xA9%20x#y", &response)), IResponse::ServerError);
    EXPECT_EQ(Logged()["query"].toString(), "id=A%26B%3DC%2BD%20%C3%A9%2520x%23y&key=" + key);
}

// Redirects are followed (relative ones too) with the arguments, and the key is logged masked.
TEST_F(ClientTest, EachOutcomeMapsToItsResultAndOnlyAWholeAnswerIsWritten)
{
    const QString origin = QString("https://127.0.0.1:%1").arg(service.Port());
    LogCapture log;
    // Each: its faults, the result, the requests sent (0: more than one).
    for (const auto& [name, faults, result, sent] :
        std::vector<std::tuple<const char*, std::vector<QJsonObject>, IResponse::Result, int>> {
            {"error status, then Ok",
                {{{"kind", "status"}, {"code", 500}, {"body", "<html>broken</html>"}, {"times", 2}}}, IResponse::Ok, 3},
            {"cut connection, then Ok", {{{"kind", "drop_after"}, {"bytes", 40}}}, IResponse::Ok, 2},
            {"not modified", {{{"kind", "status"}, {"code", 304}, {"body", ""}, {"times", -1}}}, IResponse::ServerError,
                0},
            {"redirects",
                {{{"kind", "redirect"}, {"location", origin + "/brel/v1/package/alias?x=1&key=" + key}},
                    {{"path", "/brel/v1/package/alias"}, {"kind", "redirect"}, {"location", "metadata?y=2"},
                        {"code", 301}}},
                IResponse::Ok, 3},
            {"redirect loop", {{{"kind", "redirect"}, {"loop", true}}}, IResponse::ServerError, 11},
            {"redirect to http", {{{"kind", "redirect"}, {"location", "http://127.0.0.1:1/brel/v1/package/metadata"}}},
                IResponse::ServerError, 1}}) {
        SCOPED_TRACE(name);
        service.ClearFaults();
        for (QJsonObject fault : faults) {
            fault["path"] = fault.value("path").toString(kMetadata);
            service.SetFault(fault);
        }
        Connect(service.BaseUrl()); // fresh connections
        const int before = service.RequestLog().size();
        EXPECT_EQ(Metadata(), result);
        const int count = service.RequestLog().size() - before;
        EXPECT_TRUE(sent ? count == sent : count > 1) << count;
        for (int index = before; index < before + count; ++index)
            EXPECT_EQ(Logged(index)["query"].toString(), "id=EU1_2023_11&key=" + key);
        EXPECT_EQ(Logged()["path"].toString(), kMetadata);
        EXPECT_EQ(Header("Accept") + Header("Content-type") + Header("Range"), "application/xmlapplication/xml");
        // Ok: one fresh document, no error or redirect page before it; else nothing.
        const bool fresh = out.str().rfind("<?xml", 0) == 0 && out.str().find("<?xml", 1) == std::string::npos;
        EXPECT_TRUE(result == IResponse::Ok ? fresh : out.str().empty()) << out.str();
    }
    EXPECT_EQ(log.Count(Log::Debug,
                  "Redirecting request to: " + origin.toStdString() + "/brel/v1/package/alias?x=1&key=******"),
        1);
    EXPECT_GE(log.Count(Log::Debug, "Adding argument: key=******"), 1);
    for (const auto& record : log.Records())
        EXPECT_EQ(record.message.find(key.toStdString()), std::string::npos) << record.message;
}

TEST_F(ClientTest, HttpsProxyCarriesTheRequestsWithItsCredentialsOn1080WhenNoPortAndNotWithoutHost)
{
    // Whether the request failed at the proxy, its last request asking for a tunnel to the service with the
    // credentials.
    const auto tunnelled = [this](const QString& setting, const CannedServer& proxy, const QByteArray& credentials = {},
                               int windowMs = 500, int pauseMs = 50) {
        qputenv("https_proxy", setting.toUtf8());
        Connect(service.BaseUrl());
        const bool refused = Roots(windowMs, pauseMs) != IResponse::Ok;
        const QByteArray last = proxy.heads.value(proxy.heads.size() - 1);
        return refused && last.startsWith("CONNECT 127.0.0.1:" + QByteArray::number(service.Port()))
            && last.contains(credentials.toBase64());
    };
    CannedServer proxy(kProxyAnswer), standard(kProxyAnswer);
    ASSERT_TRUE(proxy.listen(QHostAddress::LocalHost));
    const QString address = QString("127.0.0.1:%1").arg(proxy.serverPort());
    EXPECT_TRUE(tunnelled("user:secret@" + address, proxy, "user:secret"));
    // Without credentials the refusal is the program's to answer; resent at once for a while, a tunnel refused like
    // this used to crash the network thread.
    EXPECT_TRUE(tunnelled(address, proxy, {}, 3000, 0));
    if (standard.listen(QHostAddress::LocalHost, 1080)) {
        EXPECT_TRUE(tunnelled("http://127.0.0.1", standard));
    }
    EXPECT_TRUE(service.RequestLog().isEmpty());
    qputenv("https_proxy", "http://:3128");
    Connect(service.BaseUrl());
    EXPECT_EQ(Roots(), IResponse::Ok);
}

// TLS 1.2 only, and the extra certificate is trusted for the whole process: every later client still trusts the
// service, and a server whose certificate neither it nor a system authority signs is refused before it hears a request.
// The key never travels in clear: a plain http address is refused before anything is sent.
TEST_F(ClientTest, OnlyTls12AndTrustedCertificatesAreSpokenTo)
{
    ContentService stranger;
    ASSERT_TRUE(stranger.Start(QString(), ContentService::Certificate::Stranger));
    LogCapture log;
    for (const auto& [tls, protocol, ok] : std::vector<std::tuple<const ContentService*, QSsl::SslProtocol, bool>> {
             {&service, QSsl::TlsV1_2, true}, {&stranger, QSsl::TlsV1_2, false}, {&service, QSsl::TlsV1_3, false},
             {nullptr, QSsl::TlsV1_2, false}, {&service, QSsl::TlsV1_2, true}}) {
        CannedServer server("HTTP/1.1 200 OK\r\nContent-Length: 4\r\nConnection: close\r\n\r\n<a/>", tls, protocol);
        ASSERT_TRUE(server.listen(QHostAddress::LocalHost));
        Connect(QString("http%1://127.0.0.1:%2/brel/v1").arg(tls ? "s" : "").arg(server.serverPort()));
        EXPECT_EQ(Roots() == IResponse::Ok, ok);
        EXPECT_EQ(out.str(), ok ? "<a/>" : "");
        EXPECT_EQ(server.heads.isEmpty(), !ok);
    }
    EXPECT_EQ(log.Count(Log::Error, "Refusing to send the service key over a non-https URL: "), 1);
    for (const auto& record : log.Records())
        EXPECT_EQ(record.message.find(key.toStdString()), std::string::npos) << record.message;
}
