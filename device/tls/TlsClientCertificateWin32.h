// The client certificate of socket+tls:// and rfc2217+tls:// on Windows:
// Schannel takes a certificate whose private key crypt32 holds, so it comes
// from a PKCS#12 file, which carries both. The key is kept in this process's
// memory only, never in the user's key store.
#pragma once

#include "CryptHandlesWin32.h"

#include <string>

class ClientCertificate {
public:
    // "" when `pkcs12` (a whole PKCS#12 file, without a passphrase) gave a
    // certificate with its key, else what is wrong with it.
    std::string Load(const std::string& pkcs12);
    // The certificate, which the store's key goes with; null before Load.
    PCCERT_CONTEXT Get() const { return m_certificate.get(); }

private:
    UniqueStore m_store;  // holds the key; outlives the certificate taken from it
    UniqueCertificate m_certificate;
};
