#include "ContentService.h"

#include "TestEnv.h"
#include "TestHome.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <QSslCertificate>
#include <QSslConfiguration>
#include <QSslSocket>
#include <QStandardPaths>

#include <gtest/gtest.h>

#include <cstdlib>

namespace {

constexpr int startTimeoutMs = 120000; // archives are built at start-up, large ones take a while
constexpr int controlTimeoutMs = 10000;

QJsonObject ReadJsonObject(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QJsonDocument::fromJson(file.readAll()).object();
}

// The system's interpreter (the one the dependency script installs) before any in PATH: wrappers such as version
// managers add a noticeable start-up time to every test.
QString PythonPath()
{
    const QString system = QStandardPaths::findExecutable("python3", {"/usr/bin"});
    return system.isEmpty() ? QStandardPaths::findExecutable("python3") : system;
}

// Holds the certificate and key that the first service of the process made, for the services after it.
const QTemporaryDir& SharedCertificateDir()
{
    static const QTemporaryDir dir(QDir::tempPath() + "/content-service-certificate-XXXXXX");
    return dir;
}

// Copies the certificate and its key unless the target has them already.
void CopyCertificate(const QString& from, const QString& to)
{
    for (const char* name : {"/cert.pem", "/key.pem"})
        QFile::copy(from + name, to + name);
}

} // namespace

ContentService::ContentService() = default;

ContentService::~ContentService()
{
    if (process.state() == QProcess::NotRunning)
        return;
    process.terminate();
    if (!process.waitForFinished(3000)) {
        process.kill();
        process.waitForFinished(3000);
    }
}

bool ContentService::Start(const QString& catalogueFile, Certificate certificate)
{
    const QString catalogue
        = catalogueFile.isEmpty() ? TestEnv::SourceDir() + "/tools/content-service/catalogue.json" : catalogueFile;
    const QJsonObject settings = ReadJsonObject(catalogue);
    key = settings.value("key").toString().toStdString();
    basePath = settings.value("basePath").toString("/brel/v1");

    stateDir = std::make_unique<QTemporaryDir>(QDir::tempPath() + "/content-service-XXXXXX");
    const QString python = PythonPath();
    const bool shared = certificate == Certificate::Shared;
    if (!stateDir->isValid() || python.isEmpty() || (shared && !SharedCertificateDir().isValid()))
        return false;
    if (shared)
        CopyCertificate(SharedCertificateDir().path(), stateDir->path());
    process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    process.start(python,
        {TestEnv::SourceDir() + "/tools/content-service/server.py", "--catalogue", catalogue, "--state-dir",
            stateDir->path(), "--port", "0", "--exit-with-stdin"});
    if (!process.waitForStarted() || !WaitForReady())
        return false;
    TestHome::ClearProxies(); // the service is reached directly

    if (shared) {
        CopyCertificate(stateDir->path(), SharedCertificateDir().path());
        ::setenv("SSL_CERT_FILE", QFile::encodeName(SharedCertificateDir().filePath("cert.pem")).constData(), 1);
    }
    return true;
}

bool ContentService::WaitForReady()
{
    const QDeadlineTimer deadline(startTimeoutMs);
    while (!deadline.hasExpired()) {
        while (process.canReadLine()) {
            const QByteArray line = process.readLine().trimmed();
            if (line.startsWith("READY ")) {
                port = static_cast<quint16>(line.mid(6).toUInt());
                return port != 0;
            }
        }
        if (!process.waitForReadyRead(static_cast<int>(deadline.remainingTime())))
            return false;
    }
    return false;
}

void ContentService::SetFault(const QJsonObject& fault)
{
    if (!Control("POST", QJsonDocument(fault).toJson(QJsonDocument::Compact)))
        ADD_FAILURE() << "content service refused the fault rule "
                      << QJsonDocument(fault).toJson(QJsonDocument::Compact).constData();
}

void ContentService::ClearFaults()
{
    if (!Control("DELETE", {}))
        ADD_FAILURE() << "content service did not clear its fault rules";
}

// A blocking exchange on a socket of its own: it runs no event loop, so nothing of the code under test moves on
// while a test changes the rules.
bool ContentService::Control(const QByteArray& method, const QByteArray& body)
{
    QSslSocket socket;
    QSslConfiguration config = socket.sslConfiguration();
    config.setCaCertificates(QSslCertificate::fromPath(CertificatePath()));
    socket.setSslConfiguration(config);
    socket.connectToHostEncrypted("127.0.0.1", port);
    if (!socket.waitForEncrypted(controlTimeoutMs))
        return false;
    socket.write(method + " /_control/faults HTTP/1.1\r\nHost: 127.0.0.1\r\nConnection: close\r\nContent-Length: "
        + QByteArray::number(body.size()) + "\r\n\r\n" + body);
    QByteArray answer;
    while (socket.waitForReadyRead(controlTimeoutMs))
        answer += socket.readAll();
    answer += socket.readAll();
    return answer.startsWith("HTTP/1.1 200");
}

QJsonArray ContentService::RequestLog() const
{
    QJsonArray records;
    QFile file(StateDir() + "/requests.jsonl");
    if (!file.open(QIODevice::ReadOnly))
        return records;
    while (!file.atEnd()) {
        const QJsonDocument record = QJsonDocument::fromJson(file.readLine());
        if (record.isObject()) // a line being written right now is skipped
            records.append(record.object());
    }
    return records;
}

QStringList ContentService::ArchiveRanges() const
{
    QStringList ranges;
    for (const QJsonValue& request : RequestLog())
        if (request["path"].toString().startsWith("/files/"))
            ranges << request["headers"]["Range"].toString();
    return ranges;
}
