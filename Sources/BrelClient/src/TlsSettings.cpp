#include "TlsSettings.h"

#include "Log.h"

#include <QFile>
#include <QSslCertificate>
#include <QSslSocket>

namespace Brel {

QSslConfiguration TlsSettings::Configuration()
{
    // Once per process: a list of authorities on each request would make every
    // connection load it into a store of its own.
    static const bool extra = AddExtraAuthorities();
    Q_UNUSED(extra)
    QSslConfiguration config = QSslConfiguration::defaultConfiguration();
    config.setProtocol(QSsl::TlsV1_2);
    config.setPeerVerifyMode(QSslSocket::VerifyPeer);
    return config;
}

bool TlsSettings::AddExtraAuthorities()
{
    const QString path = QFile::decodeName(qgetenv("SSL_CERT_FILE"));
    if (path.isEmpty())
        return false;
    const QList<QSslCertificate> certificates = QSslCertificate::fromPath(path, QSsl::Pem);
    if (certificates.isEmpty()) {
        LOG_BREL(Warning) << "No certificate in SSL_CERT_FILE: " << path;
        return false;
    }
    // Qt looks the system's authorities up on demand, when a peer's chain
    // needs one. Its replacement for this call, adding to a configuration
    // object, turns that lookup off and with it every system authority.
    QT_WARNING_PUSH
    QT_WARNING_DISABLE_DEPRECATED
    QSslSocket::addDefaultCaCertificates(certificates);
    QT_WARNING_POP
    return true;
}

} // namespace Brel
