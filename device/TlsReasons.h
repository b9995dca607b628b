// Why a connection inside TLS could not be made, in words a person can act
// on: the same words from every platform's TLS library. Each follows the
// address in "Cannot open the COM port. (ADDRESS: reason)".
#pragma once

#include "PortResult.h"

#include <cstdint>
#include <cstdio>
#include <string>

namespace TlsReason {

// Followed by the host name or address the certificate does not name (a
// certificate names hosts in its subjectAltName only).
inline constexpr char NameMismatch[] = "the server's certificate is not made out to ";
// The words below that start with ServerCertificate are said of another
// certificate of the server's chain by InChain.
inline constexpr char ServerCertificate[] = "the server's certificate";
inline constexpr char Expired[] = "the server's certificate has expired";
inline constexpr char NotYetValid[] = "the server's certificate is not valid yet; is this machine's clock right?";
inline constexpr char WeakKey[] =
    "the server's certificate has a key too weak to trust (RSA or DSA under 2048 bits, or a curve under 224)";
inline constexpr char WeakSignature[] =
    "the server's certificate is signed with a digest too weak to trust (SHA-1 or MD5)";
// A key exchange that OpenSSL's default security level refuses too.
inline constexpr char WeakKeyExchange[] =
    "the server's key exchange is too weak to trust (Diffie-Hellman under 2048 bits)";
inline constexpr unsigned LeastKeyExchangeBits = 2048;
inline constexpr char NotAuthority[] = "the server's certificate is signed by a certificate that is no authority";
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
// A server that had answered in TLS, too slowly.
inline constexpr char HandshakeUnfinished[] = "the TLS handshake did not finish within the set-up wait";
// Followed by what is wrong with them.
inline constexpr char BadTrustedCertificates[] = "the certificates of --tls-ca cannot be used: ";
inline constexpr char BadClientCertificate[] = "the client certificate or key cannot be used: ";
// Followed by the library's own words.
inline constexpr char Failed[] = "TLS failed: ";

// Schannel's statuses (SECURITY_STATUS) in words; the number follows them.
struct StatusWords {
    std::uint32_t status;
    const char* words;
};
inline constexpr StatusWords SchannelStatuses[] = {
    {0x80090300, "this machine ran out of memory for TLS"},
    {0x80090302, "the server asks for a TLS version or feature that Windows does not offer here (it speaks TLS 1.2)"},
    {0x80090304, "Schannel failed inside the handshake; under Wine a client key it cannot sign with does this"},
    {0x80090308, "the server sent something that is no TLS handshake"},
    {0x8009030C, "the server refused the connection"},
    {0x8009030E, "no credentials for TLS: the client certificate cannot be used"},
    {0x8009030F, "a TLS record was altered on the way"},
    {0x80090317, "the server ended the TLS session"},
    {0x80090318, "the server sent an incomplete TLS record"},
    {0x80090322, "the server's certificate is not made out to the host given"},
    {0x80090325, "the server's certificate comes from an authority this machine does not trust"},
    {0x80090326, "the server ended the handshake with an alert, or sent a message that cannot be taken"},
    {0x80090327, "the server's certificate cannot be used"},
    {0x80090328, "the server's certificate has expired"},
    {0x80090330, "a TLS record could not be decrypted"},
    {0x80090331, "the server and this machine have no TLS version or cipher in common"},
    {0x80090349, "a certificate is used for what it is not made for"},
};
// The bits of a certificate chain's trust status (CERT_TRUST_*) in words.
inline constexpr StatusWords ChainErrors[] = {
    {0x00000001, "a certificate of the chain is outside its dates"},
    {0x00000004, "a certificate of the chain is revoked"},
    {0x00000008, "a signature in the chain does not verify"},
    {0x00000010, "a certificate of the chain is not made for a TLS server"},
    {0x00000020, "the chain ends in an authority this machine does not trust"},
    {0x00000080, "the chain goes round in a circle"},
    {0x00000100, "a certificate of the chain has an extension that is not valid"},
    {0x00000200, "a certificate of the chain has policy constraints that are not valid"},
    {0x00000400, "a certificate that is no authority issued another"},
    {0x00000800, "a certificate of the chain has name constraints that are not valid"},
    {0x00001000, "an authority has a name constraint of a kind this system does not know"},
    {0x00002000, "an authority has a name constraint that is not defined"},
    {0x00004000, "the server's names are not permitted by its authority's name constraints"},
    {0x00008000, "the server's names are excluded by its authority's name constraints"},
    {0x00010000, "the chain does not reach an authority"},
    {0x04000000, "a certificate of the chain is distrusted explicitly"},
    {0x08000000, "a certificate of the chain has a critical extension this system does not know"},
    {0x10000000, "a certificate of the chain is signed with a digest too weak to trust"},
};

// The fatal alerts a server ends a handshake with, in words; the alert's
// name and number follow them.
inline constexpr StatusWords TlsAlerts[] = {
    {10, "the server did not expect what this machine sent (unexpected message)"},
    {20, "the server found a record altered on the way (bad record mac)"},
    {40, "the server found no cipher or settings in common with this machine (handshake failure)"},
    {47, "the server found a value it does not take (illegal parameter)"},
    {50, "the server could not read a handshake message (decode error)"},
    {51, "the server could not check a signature or key (decrypt error)"},
    {70, "the server takes no TLS version this machine offers; Windows speaks TLS 1.2 here (protocol version)"},
    {71, "the server asks for stronger ciphers than this machine offers (insufficient security)"},
    {80, "the server failed inside (internal error)"},
    {112, "the server knows no host by the name given (unrecognized name)"},
};

// The alerts by which a server turns a client certificate down, or the lack
// of one, with the names TLS gives them.
inline constexpr StatusWords ClientCertificateAlerts[] = {
    {40, "handshake failure"},   {42, "bad certificate"}, {44, "certificate revoked"}, {45, "certificate expired"},
    {46, "certificate unknown"}, {48, "unknown ca"},      {49, "access denied"},       {116, "certificate required"},
};

// The name of the alert `description` when it is about client
// certificates, or null.
inline const char* ClientCertificateAlertName(std::uint32_t description)
{
    for (const StatusWords& alert : ClientCertificateAlerts) {
        if (alert.status == description)
            return alert.words;
    }
    return nullptr;
}

// "0x80090304".
inline std::string HexNumber(std::uint32_t number)
{
    char hex[16] = {};
    std::snprintf(hex, sizeof hex, "0x%08lX", static_cast<unsigned long>(number));
    return hex;
}

// Schannel's `status` as a reason: Failed, the words, the number.
inline std::string SchannelStatusReason(std::uint32_t status)
{
    for (const StatusWords& known : SchannelStatuses) {
        if (known.status == status)
            return std::string(Failed) + known.words + " (Schannel " + HexNumber(status) + ")";
    }
    return std::string(Failed) + "Schannel gave an error it has no words for (Schannel " + HexNumber(status) + ")";
}

// A handshake the server ended with the fatal alert `description`.
inline std::string AlertReason(std::uint32_t description)
{
    for (const StatusWords& known : TlsAlerts) {
        if (known.status == description)
            return std::string(Failed) + known.words + ", alert " + std::to_string(description);
    }
    return std::string(Failed) + "the server ended the handshake with alert " + std::to_string(description);
}

// A chain whose trust status has the error bits `errors`: Failed, the words
// of each bit, the number.
inline std::string ChainErrorReason(std::uint32_t errors)
{
    std::string words;
    for (const StatusWords& known : ChainErrors) {
        if ((errors & known.status) != 0)
            words += (words.empty() ? "" : "; ") + std::string(known.words);
    }
    if (words.empty())
        words = "the certificate chain does not hold";
    return std::string(Failed) + words + " (chain status " + HexNumber(errors) + ")";
}

// `reason`, which starts with ServerCertificate, said of the certificate
// of the server's chain with the subject `subject` instead; the server's
// own certificate when `subject` is empty.
inline std::string InChain(const std::string& reason, const std::string& subject)
{
    const std::string own = ServerCertificate;
    if (subject.empty() || reason.compare(0, own.size(), own) != 0)
        return reason;
    return "the certificate \"" + subject + "\" of the server's chain" + reason.substr(own.size());
}

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
