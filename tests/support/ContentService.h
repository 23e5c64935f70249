#pragma once

#include "TestEnv.h"
#include "TestFiles.h"
#include "TestHome.h"

#include <QDeadlineTimer>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QSslConfiguration>
#include <QSslSocket>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QUrl>

#include <gtest/gtest.h>

// The local content service (tools/content-service) for one test: HTTPS on 127.0.0.1, request log, fault rules.
class ContentService {
public:
    // SSL_CERT_FILE is read once per process: its services share a certificate; a stranger's is trusted by nobody.
    enum class Certificate { Shared, Stranger };

    ~ContentService()
    {
        process.terminate();
        if (!process.waitForFinished(3000))
            process.kill();
        process.waitForFinished(3000);
    }

    // On a free port, with the catalogue (empty: tools/content-service/catalogue.json); waits until it serves.
    bool Start(const QString& catalogueFile = QString(), Certificate certificate = Certificate::Shared)
    {
        const QString tool = TestEnv::SourceDir() + "/tools/content-service/";
        const QString catalogue = catalogueFile.isEmpty() ? tool + "catalogue.json" : catalogueFile;
        const QJsonObject settings = QJsonDocument::fromJson(TestFiles::Read(catalogue)).object();
        key = settings.value("key").toString().toStdString();
        basePath = settings.value("basePath").toString("/brel/v1");
        // The certificate and key that the first service of the process made, for the services after it.
        static const QTemporaryDir sharedDir(QDir::tempPath() + "/content-service-certificate-XXXXXX");
        const auto copyCertificate = [](const QString& from, const QString& to) {
            for (const char* name : {"/cert.pem", "/key.pem"})
                QFile::copy(from + name, to + name); // not over one the target has
        };
        // The system's interpreter before any in PATH: wrappers such as version managers slow every start down.
        const QString python = QStandardPaths::findExecutable(
            "python3", QStringList {"/usr/bin"} + qEnvironmentVariable("PATH").split(':'));
        const bool shared = certificate == Certificate::Shared;
        if (!stateDir.isValid() || python.isEmpty() || (shared && !sharedDir.isValid()))
            return false;
        if (shared)
            copyCertificate(sharedDir.path(), StateDir());
        process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        process.start(python,
            {tool + "server.py", "--catalogue", catalogue, "--state-dir", StateDir(), "--port", "0",
                "--exit-with-stdin"});
        const QDeadlineTimer deadline(120000); // archives are built at start-up, large ones take a while
        QByteArray line;
        while (!line.startsWith("READY ")) {
            if (process.canReadLine())
                line = process.readLine().trimmed();
            else if (deadline.hasExpired() || !process.waitForReadyRead(int(deadline.remainingTime())))
                return false;
        }
        if ((port = quint16(line.mid(6).toUInt())) == 0)
            return false;
        TestHome::ClearProxies(); // the service is reached directly
        if (shared) {
            copyCertificate(StateDir(), sharedDir.path());
            ::setenv("SSL_CERT_FILE", QFile::encodeName(sharedDir.filePath("cert.pem")).constData(), 1);
        }
        return true;
    }

    QString BaseUrl() const { return Origin() + basePath; }
    std::string Key() const { return key; }
    QString CertificatePath() const { return StateDir() + "/cert.pem"; }
    QString ArchivePath(const QString& name) const { return StateDir() + "/archives/" + name; }
    QUrl ArchiveUrl(const QString& name) const { return QUrl(Origin() + "/files/" + name); }
    // Fault rules: see the service's README.md.
    void SetFault(const QJsonObject& fault) { Control("POST", QJsonDocument(fault).toJson(QJsonDocument::Compact)); }
    void ClearFaults() { Control("DELETE", {}); }
    // {"method","path","query" (raw),"headers":{...}} each; a line being written right now is skipped.
    QJsonArray RequestLog() const
    {
        QJsonArray records;
        for (const QByteArray& line : TestFiles::Read(StateDir() + "/requests.jsonl").split('\n'))
            if (const QJsonDocument record = QJsonDocument::fromJson(line); record.isObject())
                records.append(record.object());
        return records;
    }
    // The "Range" headers of the archive requests, in order ("" for none).
    QStringList ArchiveRanges() const
    {
        QStringList ranges;
        for (const QJsonValue& request : RequestLog())
            if (request["path"].toString().startsWith("/files/"))
                ranges << request["headers"]["Range"].toString();
        return ranges;
    }
    QString StateDir() const { return stateDir.path(); }
    quint16 Port() const { return port; }

private:
    // Blocking, on a socket of its own: no event loop runs, so the code under test stands still while rules change.
    void Control(const QByteArray& method, const QByteArray& body)
    {
        QSslSocket socket;
        QSslConfiguration config = socket.sslConfiguration();
        config.setCaCertificates(QSslCertificate::fromPath(CertificatePath()));
        socket.setSslConfiguration(config);
        socket.connectToHostEncrypted("127.0.0.1", port);
        QByteArray answer;
        if (socket.waitForEncrypted(10000)) {
            socket.write(method
                + " /_control/faults HTTP/1.1\r\nHost: 127.0.0.1\r\nConnection: close\r\nContent-Length: "
                + QByteArray::number(body.size()) + "\r\n\r\n" + body);
            while (socket.waitForReadyRead(10000))
                answer += socket.readAll();
            answer += socket.readAll();
        }
        if (!answer.startsWith("HTTP/1.1 200"))
            ADD_FAILURE() << "the content service refused " << method.constData() << " of fault rules "
                          << body.constData();
    }
    QString Origin() const { return QString("https://127.0.0.1:%1").arg(port); }

    QTemporaryDir stateDir {QDir::tempPath() + "/content-service-XXXXXX"};
    QProcess process;
    quint16 port = 0;
    std::string key;
    QString basePath;
};
