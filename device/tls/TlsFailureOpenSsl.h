// OpenSSL's failures in the words of TlsReasons.h.
#pragma once

#include "TlsContextOpenSsl.h"

#include <openssl/ssl.h>

#include <string>

// Whether a client certificate was given, and whether the server asked for
// one: only then is an alert about certificates one about the client's.
struct ClientCertificateSeen {
    bool given = false;
    bool asked = false;
};

// The reason for a failed handshake, or a failed call after it, on `ssl`
// with the server `host`, from OpenSSL's error queue, which it leaves empty:
// the certificate check that failed (of the certificate `notes` name), a
// server that speaks no TLS, or the server's alert about the client
// certificate (in TLS 1.3 that arrives after the handshake, at the first
// read).
std::string FailureReason(SSL* ssl, const std::string& host, const ClientCertificateSeen& client,
                          const CertificateNotes& notes);
