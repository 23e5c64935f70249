#pragma once

#include <QJsonArray>
#include <QJsonObject>
#include <QProcess>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <QUrl>

#include <memory>
#include <string>

// Runs the local content service (tools/content-service/server.py) for one test: HTTPS on 127.0.0.1 with a
// certificate of its own, the catalogue's packages and archives, a request log and fault injection.
class ContentService {
public:
    // The certificate the service presents. The client reads SSL_CERT_FILE once per process, so every service of a
    // test process shares one; a stranger's is trusted by nobody.
    enum class Certificate { Shared, Stranger };

    ContentService();
    ~ContentService();
    ContentService(const ContentService&) = delete;
    ContentService& operator=(const ContentService&) = delete;

    // Starts the server on a free port with the given catalogue (empty: tools/content-service/catalogue.json) and
    // waits until it serves; with the shared certificate it points SSL_CERT_FILE at it. Returns false on failure.
    bool Start(const QString& catalogueFile = QString(), Certificate certificate = Certificate::Shared);

    QString BaseUrl() const { return Origin() + basePath; } // "https://127.0.0.1:<port>/brel/v1"
    std::string Key() const { return key; } // the key the service accepts
    QString CertificatePath() const { return StateDir() + "/cert.pem"; }
    // The tar file served under that file name, and its https URL.
    QString ArchivePath(const QString& name) const { return StateDir() + "/archives/" + name; }
    QUrl ArchiveUrl(const QString& name) const { return QUrl(Origin() + "/files/" + name); }
    void SetFault(const QJsonObject& fault); // adds one fault rule (see the service's README.md)
    void ClearFaults();
    QJsonArray RequestLog() const; // {"method","path","query" (raw),"headers":{...}} each
    QStringList ArchiveRanges() const; // the "Range" headers of the archive requests, in order ("" for none)

    QString StateDir() const { return stateDir ? stateDir->path() : QString(); }
    quint16 Port() const { return port; }

private:
    bool WaitForReady();
    bool Control(const QByteArray& method, const QByteArray& body);
    QString Origin() const { return QString("https://127.0.0.1:%1").arg(port); }

    std::unique_ptr<QTemporaryDir> stateDir;
    QProcess process;
    quint16 port = 0;
    std::string key;
    QString basePath;
};
