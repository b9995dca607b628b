#include "TlsFailureOpenSsl.h"

#include "TlsContextOpenSsl.h"
#include "TlsReasons.h"

#include <openssl/err.h>
#include <openssl/x509v3.h>

namespace {

// The reason for the certificate check that failed: its result says which,
// and the notes of which certificate of the chain.
std::string CertificateReason(SSL* ssl, const std::string& host, const CertificateNotes& notes)
{
    const long result = SSL_get_verify_result(ssl);
    const std::string chainSubject = notes.depth > 0 ? notes.subject : std::string();
    switch (result) {
        case X509_V_ERR_HOSTNAME_MISMATCH:
        case X509_V_ERR_IP_ADDRESS_MISMATCH:
            return TlsReason::NameMismatch + host;
        case X509_V_ERR_CERT_HAS_EXPIRED:
            return TlsReason::InChain(TlsReason::Expired, chainSubject);
        case X509_V_ERR_CERT_NOT_YET_VALID:
            return TlsReason::InChain(TlsReason::NotYetValid, chainSubject);
        case X509_V_ERR_EE_KEY_TOO_SMALL:
        case X509_V_ERR_CA_KEY_TOO_SMALL:
            return TlsReason::InChain(TlsReason::WeakKey, chainSubject);
        case X509_V_ERR_CA_MD_TOO_WEAK:
            return TlsReason::InChain(TlsReason::WeakSignature, chainSubject);
        case X509_V_ERR_INVALID_CA:
            return TlsReason::NotAuthority;
        case X509_V_ERR_APPLICATION_VERIFICATION:  // --tls-fingerprint
            return TlsReason::FingerprintDiffers + FingerprintText(notes.fingerprint) +
                   TlsReason::FingerprintDiffersEnd;
        case X509_V_ERR_UNABLE_TO_GET_ISSUER_CERT:
        case X509_V_ERR_UNABLE_TO_GET_ISSUER_CERT_LOCALLY:
        case X509_V_ERR_UNABLE_TO_VERIFY_LEAF_SIGNATURE:
        case X509_V_ERR_DEPTH_ZERO_SELF_SIGNED_CERT:
        case X509_V_ERR_SELF_SIGNED_CERT_IN_CHAIN:
            return TlsReason::UnknownAuthority;
        default:
            return TlsReason::Failed + std::string(X509_verify_cert_error_string(result));
    }
}

}  // namespace

std::string FailureReason(SSL* ssl, const std::string& host, const ClientCertificateSeen& client,
                          const CertificateNotes& notes)
{
    const unsigned long error = ERR_peek_last_error();
    const int reason = ERR_GET_REASON(error);
    std::string text;
    switch (reason) {
        case SSL_R_CERTIFICATE_VERIFY_FAILED:
            text = CertificateReason(ssl, host, notes);
            break;
        case SSL_R_EE_KEY_TOO_SMALL:
        case SSL_R_CA_KEY_TOO_SMALL:
            text = TlsReason::WeakKey;
            break;
        case SSL_R_CA_MD_TOO_WEAK:
            text = TlsReason::WeakSignature;
            break;
        case SSL_R_DH_KEY_TOO_SMALL:
            text = TlsReason::WeakKeyExchange;
            break;
        case SSL_R_WRONG_VERSION_NUMBER:
        case SSL_R_PACKET_LENGTH_TOO_LONG:
            text = TlsReason::PlainServer;
            break;
        case SSL_R_UNEXPECTED_EOF_WHILE_READING:
            text = ClosedHandshakeReason(BIO_number_read(SSL_get_rbio(ssl)) > 0, client.given);
            break;
        default: {
            // OpenSSL's reason for an alert the server sent is the alert's
            // description past an offset.
            const char* alert =
                reason > SSL_AD_REASON_OFFSET
                    ? TlsReason::ClientCertificateAlertName(static_cast<std::uint32_t>(reason - SSL_AD_REASON_OFFSET))
                    : nullptr;
            if (alert == nullptr || !client.asked)  // no cipher or version in common, or the like
                text = TlsReason::Failed + TakeOpenSslError();
            else if (client.given)
                text = TlsReason::ClientCertificateRefused + (" (" + std::string(alert) + ")");
            else
                text = TlsReason::ClientCertificateRequired;
            break;
        }
    }
    ERR_clear_error();
    return text;
}
