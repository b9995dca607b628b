// How a connection inside TLS (socket+tls://, rfc2217+tls://) checks the
// server and shows itself. The server's certificate is always checked: there
// is no setting that skips it. The files' contents come here already read
// (the command line reads them through its regular-file opener); this layer
// opens no file of its own.
#pragma once

#include <cstddef>
#include <functional>
#include <memory>
#include <string>

// The settings' certificates and key as the platform's TLS library holds
// them, parsed once for every connection of a run (TlsStream.h's
// PrepareTls).
struct TlsPrepared;

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
    // and the server certificate's fingerprint, in words; also, for any
    // RFC 2217 port, a purge the server left unanswered.
    std::function<void(const std::string& text)> noteSession;
    // The files above, parsed (PrepareTls); null until then, and each
    // connection parses them itself.
    std::shared_ptr<const TlsPrepared> prepared;
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

// The host as its certificate names it and as it goes to the server (SNI):
// an IPv6 address without its zone ("fe80::1%eth0"), a name without its
// one trailing dot ("bench-a.example."), lower case.
std::string CertificateHost(const std::string& host);

// Whether the DNS name `pattern` of a certificate's subjectAltName names
// the host name `host` (both as CertificateHost gives them): equal but for
// case, or a wildcard "*" that is the whole of the first of three or more
// labels, standing for one label. Partial wildcards ("b*.example.com") and
// wildcards elsewhere name nothing.
bool DnsNameMatches(const std::string& pattern, const std::string& host);
