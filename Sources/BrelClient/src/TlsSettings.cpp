#include "TlsSettings.h"

#include "Log.h"

#include <QFile>
#include <QSslSocket>

namespace Brel {

QSslConfiguration TlsSettings::Configuration()
{
    QSslConfiguration config = QSslConfiguration::defaultConfiguration();
    config.setProtocol(QSsl::TlsV1_2);
    config.setPeerVerifyMode(QSslSocket::VerifyPeer);
    const QList<QSslCertificate> added = AddedAuthorities();
    if (!added.isEmpty())
        config.setCaCertificates(SystemAuthorities() + added);
    return config;
}

QList<QSslCertificate> TlsSettings::AddedAuthorities()
{
    const QString path = QFile::decodeName(qgetenv("SSL_CERT_FILE"));
    if (path.isEmpty())
        return {};
    const QList<QSslCertificate> certificates = QSslCertificate::fromPath(path, QSsl::Pem);
    if (certificates.isEmpty())
        LOG_BREL(Warning) << "No certificate in SSL_CERT_FILE: " << path;
    return certificates;
}

const QList<QSslCertificate>& TlsSettings::SystemAuthorities()
{
    // Reading the system's store takes a while; it does not change while we run.
    static const QList<QSslCertificate> system = QSslConfiguration::systemCaCertificates();
    return system;
}

} // namespace Brel
