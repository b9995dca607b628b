// The check of a TLS server's certificate on Windows, through crypt32: its
// chain to an authority the system trusts (or, with --tls-ca's
// certificates, to one of those, byte for byte), the host name or address
// its subjectAltName names, its validity, its keys and signatures; or, with
// a fingerprint, its SHA-256 alone.
#pragma once

#include "CryptHandlesWin32.h"
#include "TlsClientCertificateWin32.h"
#include "TlsSettings.h"

#include <string>

// The settings' files as crypt32 holds them, parsed once for a run.
struct TlsPrepared {
    UniqueStore trusted;  // --tls-ca's certificates; null for the system's
    ClientCertificate client;
    bool hasClient = false;
    std::string fingerprint;
};

// "" when the settings' files can be used, with `prepared` filled; else
// what is wrong with them (TlsReasons.h).
std::string PrepareCertificates(const TlsSettings& settings, TlsPrepared& prepared);

// "" when `server` passes for `host` (as CertificateHost gives it) as
// `prepared` says, else the reason (TlsReasons.h). `fingerprint` gets its
// SHA-256 (32 bytes) either way.
std::string CheckServerCertificate(PCCERT_CONTEXT server, const std::string& host, const TlsPrepared& prepared,
                                   std::string& fingerprint);
