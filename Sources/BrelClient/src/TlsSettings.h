#pragma once

#include <QSslConfiguration>

namespace Brel {

// The TLS settings of every request: TLS 1.2 only, the peer always verified.
// The certificates of the PEM file named by SSL_CERT_FILE are trusted in
// addition to the system's.
class TlsSettings {
public:
    static QSslConfiguration Configuration();

private:
    // Adds the extra certificates to Qt's default configuration; returns
    // whether there were any.
    static bool AddExtraAuthorities();
};

} // namespace Brel
