// Why a connection inside TLS could not be made, in words a person can act
// on: the same words from every platform's TLS library. Each follows the
// address in "Cannot open the COM port. (ADDRESS: reason)".
#pragma once

#include "PortResult.h"

#include <string>

namespace TlsReason {

// Followed by the host name or address the certificate does not name.
inline constexpr char NameMismatch[] = "the server's certificate is not made out to ";
inline constexpr char Expired[] = "the server's certificate has expired";
inline constexpr char NotYetValid[] = "the server's certificate is not valid yet; is this machine's clock right?";
inline constexpr char UnknownAuthority[] =
    "the server's certificate comes from an authority this machine does not trust; give the bench's own "
    "certificate authority with --tls-ca, or the certificate's fingerprint with --tls-fingerprint";
// Followed by the server's fingerprint and FingerprintDiffersEnd.
inline constexpr char FingerprintDiffers[] = "the server's certificate has the SHA-256 fingerprint ";
inline constexpr char FingerprintDiffersEnd[] = ", not the one --tls-fingerprint gives";
#ifdef _WIN32
inline constexpr char ClientCertificateRequired[] =
    "the server requires a client certificate; give one with --tls-cert (a PKCS#12 file)";
#else
inline constexpr char ClientCertificateRequired[] =
    "the server requires a client certificate; give one with --tls-cert and --tls-key";
#endif
// Followed by the server's reason, when it gave one.
inline constexpr char ClientCertificateRefused[] = "the server refused the client certificate";
inline constexpr char PlainServer[] =
    "the server does not speak TLS; a plain server is reached with socket:// or rfc2217://";
inline constexpr char TlsServer[] = "the server speaks TLS; it is reached with socket+tls:// or rfc2217+tls://";
// A plain connection the server closed, without a byte, after ours: what a
// TLS server does with bytes that are no TLS (ser2net's ssl gensio sends no
// alert first).
inline constexpr char SilentClose[] =
    "the server closed the connection without a word; a server that speaks TLS does so, and is reached with "
    "socket+tls:// or rfc2217+tls://";
// A server that had answered, then closed the connection: a TLS server
// that ends a handshake it does not like without an alert. Followed by
// ClosedInHandshakeCertificate when a client certificate was given.
inline constexpr char ClosedInHandshake[] = "the server closed the connection in the middle of the TLS handshake";
inline constexpr char ClosedInHandshakeCertificate[] = "; it may have refused the client certificate";
inline constexpr char NoHandshake[] =
    "no TLS answer within the set-up wait; a plain server on this port is reached with socket:// or rfc2217://";
// Followed by what is wrong with them.
inline constexpr char BadTrustedCertificates[] = "the certificates of --tls-ca cannot be used: ";
inline constexpr char BadClientCertificate[] = "the client certificate or key cannot be used: ";
// Followed by the library's own words.
inline constexpr char Failed[] = "TLS failed: ";

}  // namespace TlsReason

// A connection inside TLS that could not be set up, for `reason`.
inline PortResult TlsRefusal(const std::string& reason)
{
    return PortFailed(LinkResult::OpenFailed, PortOperation::Open, 0, reason);
}

// The reason for a server that closed the connection during the handshake:
// before it sent anything it is no TLS server, after that it ended the
// handshake.
inline std::string ClosedHandshakeReason(bool heardFromServer, bool clientCertificateGiven)
{
    if (!heardFromServer)
        return TlsReason::PlainServer;
    return std::string(TlsReason::ClosedInHandshake) +
           (clientCertificateGiven ? TlsReason::ClosedInHandshakeCertificate : "");
}
