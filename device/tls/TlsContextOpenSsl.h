// The OpenSSL context of the connections of one run: TLS 1.2 or later,
// security level 2 (no RSA key under 2048 bits, no SHA-1 signature), the
// server's certificate checked against the trusted certificates (or, with a
// fingerprint, by its SHA-256 while the handshake checks it, before the
// client shows its own certificate), and the client certificate.
#pragma once

#include "OpenSslHandles.h"
#include "PortResult.h"
#include "TlsSettings.h"

#include <memory>
#include <string>

struct TlsPrepared {
    UniqueSslContext context;
    std::string fingerprint;  // the one certificate's SHA-256, or ""
};

// What one connection's check saw, for its reason (TlsFailureOpenSsl.h):
// the first certificate that failed, by its depth in the chain (0: the
// server's own) and subject, and the SHA-256 of the server's certificate.
struct CertificateNotes {
    int depth = -1;
    std::string subject;
    std::string fingerprint;
};

// Ok with `prepared` set, or OpenFailed with what is wrong with the
// certificates or the key given (TlsReasons.h).
PortResult MakeTlsContext(const TlsSettings& settings, std::shared_ptr<TlsPrepared>& prepared);

// Ties `notes` to `ssl` for the handshake's check; null unties them.
void NoteCertificates(SSL* ssl, CertificateNotes* notes);

// The SHA-256 of `certificate`'s DER form, 32 bytes, or "".
std::string CertificateDigest(X509* certificate);

// OpenSSL's words for the last error of this thread, then none is left.
std::string TakeOpenSslError();
