#pragma once

#include <QList>
#include <QSslCertificate>
#include <QSslConfiguration>

namespace Brel {

// The TLS settings of every request: TLS 1.2 only, the peer always verified.
// The certificates of the PEM file named by SSL_CERT_FILE are trusted in
// addition to the system's.
class TlsSettings {
public:
    static QSslConfiguration Configuration();

private:
    static QList<QSslCertificate> AddedAuthorities();
    static const QList<QSslCertificate>& SystemAuthorities();
};

} // namespace Brel
