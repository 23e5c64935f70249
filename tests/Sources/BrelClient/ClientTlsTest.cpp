// Requests speak TLS 1.2 and nothing else: a server that offers only TLS 1.3
// is refused, the same server offering TLS 1.2 is answered.
#include "Client.h"
#include "ContentService.h"
#include "Request.h"
#include "RequestTestNetwork.h"

#include <QFile>
#include <QSslKey>
#include <QSslSocket>
#include <QTcpServer>

#include <gtest/gtest.h>

#include <memory>
#include <sstream>

using Brel::IResponse;

namespace {

// Answers every request with a small XML document over TLS of one protocol,
// using the content service's certificate.
class TlsServer : public QTcpServer {
public:
    TlsServer(const ContentService& service, QSsl::SslProtocol protocol)
        : protocol_(protocol)
    {
        QFile key(service.StateDir() + "/key.pem");
        key.open(QIODevice::ReadOnly);
        key_ = QSslKey(key.readAll(), QSsl::Ec);
        certificates_ = QSslCertificate::fromPath(service.CertificatePath());
        listen(QHostAddress::LocalHost);
    }
    bool handshakes = false;

protected:
    void incomingConnection(qintptr descriptor) override
    {
        auto* socket = new QSslSocket(this);
        socket->setSocketDescriptor(descriptor);
        socket->setProtocol(protocol_);
        socket->setPrivateKey(key_);
        socket->setLocalCertificateChain(certificates_);
        connect(socket, &QSslSocket::encrypted, this, [this] { handshakes = true; });
        connect(socket, &QSslSocket::readyRead, socket, [socket] {
            if (socket->readAll().contains("\r\n\r\n"))
                socket->write("HTTP/1.1 200 OK\r\nContent-Length: 4\r\nConnection: close\r\n\r\n<a/>");
        });
        socket->startServerEncryption();
    }

private:
    QSsl::SslProtocol protocol_;
    QSslKey key_;
    QList<QSslCertificate> certificates_;
};

IResponse::Result Fetch(const TlsServer& server, std::ostringstream& out)
{
    const QString base = QString("https://127.0.0.1:%1/brel/v1").arg(server.serverPort());
    Brel::Client client(base.toStdString(), "k");
    RecordingResponse response;
    std::unique_ptr<Brel::Request> request(static_cast<Brel::Request*>(client.GetAllRoots(&out, &response)));
    request->SetTimeout(3000);
    request->SetRetryWindowLength(100);
    request->Send();
    return FirstResult(response);
}

} // namespace

TEST(ClientTls, OnlyTls12IsSpoken)
{
    ClearProxyEnvironment();
    ContentService service;
    ASSERT_TRUE(service.Start()); // its certificate, trusted through SSL_CERT_FILE

    TlsServer modern(service, QSsl::TlsV1_3);
    ASSERT_TRUE(modern.isListening());
    std::ostringstream refused;
    EXPECT_NE(Fetch(modern, refused), IResponse::Ok);
    EXPECT_FALSE(modern.handshakes);
    EXPECT_EQ(refused.str(), "");

    TlsServer current(service, QSsl::TlsV1_2);
    std::ostringstream answered;
    EXPECT_EQ(Fetch(current, answered), IResponse::Ok);
    EXPECT_TRUE(current.handshakes);
    EXPECT_EQ(answered.str(), "<a/>");
}
