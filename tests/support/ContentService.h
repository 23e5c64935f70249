#pragma once

#include "TestEnv.h"
#include "TestHome.h"

#include <QtNetwork>

#include <gtest/gtest.h>

class ContentService {
public:
    // SSL_CERT_FILE is read once per process: its services share a certificate; a stranger's is trusted by nobody.
    enum class Certificate { Shared, Stranger };

    ~ContentService()
    {
        process.terminate();
        process.waitForFinished(3000); // else QProcess kills it
    }

    bool Start(const QString& catalogueFile = QString(), Certificate certificate = Certificate::Shared)
    {
        const QString tool = TestEnv::SourceDir() + "/tools/content-service/";
        const QString catalogue = catalogueFile.isEmpty() ? tool + "catalogue.json" : catalogueFile;
        settings = QJsonDocument::fromJson(TestFiles::Read(catalogue)).object();
        static const QTemporaryDir sharedDir(QDir::tempPath() + "/content-service-certificate-XXXXXX");
        // The system's interpreter before any in PATH: wrappers such as version managers slow every start down.
        const QString python = QStandardPaths::findExecutable(
            "python3", QStringList {"/usr/bin"} + qEnvironmentVariable("PATH").split(':'));
        for (const char* name : {"/cert.pem", "/key.pem"})
            if (certificate == Certificate::Shared) // not over one the target has: none yet
                QFile::copy(sharedDir.path() + name, StateDir() + name);
        process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        process.start(
            python, {tool + "server.py", "--catalogue", catalogue, "--state-dir", StateDir(), "--exit-with-stdin"});
        // "READY <port>" is its only output; archives are built at start-up, large ones take a while.
        while (!process.canReadLine() && process.waitForReadyRead(120000)) { }
        const QByteArray line = process.readLine().trimmed();
        if (!line.startsWith("READY "))
            return false;
        port = quint16(line.mid(6).toUInt());
        TestHome::ClearProxies(); // the service is reached directly
        if (certificate == Certificate::Shared) {
            for (const char* name : {"/cert.pem", "/key.pem"})
                QFile::copy(StateDir() + name, sharedDir.path() + name); // not over the first service's
            ::setenv("SSL_CERT_FILE", QFile::encodeName(sharedDir.filePath("cert.pem")).constData(), 1);
        }
        return true;
    }

    QString BaseUrl() const { return Origin() + settings["basePath"].toString("/brel/v1"); }
    std::string Key() const { return settings["key"].toString().toStdString(); }
    QString CertificatePath() const { return StateDir() + "/cert.pem"; }
    QString ArchivePath(const QString& name) const { return StateDir() + "/archives/" + name; }
    QUrl ArchiveUrl(const QString& name) const { return QUrl(Origin() + "/files/" + name); }
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
        socket.setPeerVerifyMode(QSslSocket::VerifyNone); // its own service on 127.0.0.1
        socket.connectToHostEncrypted("127.0.0.1", port);
        socket.write(method + " /_control/faults HTTP/1.1\r\nHost: 127.0.0.1\r\nConnection: close\r\nContent-Length: "
            + QByteArray::number(body.size()) + "\r\n\r\n" + body); // sent once encrypted
        QByteArray answer;
        while (socket.waitForReadyRead(10000))
            answer += socket.readAll();
        EXPECT_TRUE(answer.startsWith("HTTP/1.1 200"))
            << "fault rules refused: " << method.constData() << " " << body.constData();
    }
    QString Origin() const { return QString("https://127.0.0.1:%1").arg(port); }

    QTemporaryDir stateDir {QDir::tempPath() + "/content-service-XXXXXX"};
    QProcess process;
    quint16 port = 0;
    QJsonObject settings; // of the catalogue
};
