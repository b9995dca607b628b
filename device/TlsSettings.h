// How a connection inside TLS (socket+tls://, rfc2217+tls://) checks the
// server and shows itself. The server's certificate is always checked: there
// is no setting that skips it. The files' contents come here already read
// (the command line reads them through its regular-file opener); this layer
// opens no file of its own.
#pragma once

#include <cstddef>
#include <functional>
#include <string>

// The length of a SHA-256, in bytes.
inline constexpr std::size_t Sha256Length = 32;

struct TlsSettings {
    // Certificates in PEM to trust instead of the system's: a bench's own
    // certificate authority. Empty: the system's trusted certificates.
    std::string trustedPem;
    // The SHA-256 of the one server certificate (its DER form) to accept, 32
    // bytes; the host name is then not checked. Empty: none.
    std::string fingerprint;
    // A client certificate for a server that asks for one, and its key:
    // PEM on Linux; on Windows a PKCS#12 file as the certificate, which
    // holds the key too. Empty: none.
    std::string clientCertificate;
    std::string clientKey;
    // Told once a connection is set up, for a transcript: the TLS version
    // and the server certificate's fingerprint, in words.
    std::function<void(const std::string& text)> noteSession;
};

// 32 bytes as upper-case hex pairs with colons, as `openssl x509
// -fingerprint -sha256` prints them.
std::string FingerprintText(const std::string& digest);

// Hex digits, pairs with or without colons, into 32 bytes: false for
// anything else.
bool ParseFingerprint(const std::string& text, std::string& digest);

// Why a server whose certificate has the SHA-256 `seen` fails
// --tls-fingerprint `wanted` (TlsReasons.h); "" when it passes or none is
// wanted.
std::string FingerprintRefusal(const std::string& seen, const std::string& wanted);

// What TlsSettings::noteSession is told: "TLS 1.2, server certificate
// SHA-256 AB:CD:...".
std::string SessionNote(const std::string& version, const std::string& fingerprint);
