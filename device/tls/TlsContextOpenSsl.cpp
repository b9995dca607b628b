#include "TlsContextOpenSsl.h"

#include "TlsReasons.h"

#include <openssl/err.h>
#include <openssl/pem.h>

#include <vector>

namespace {

// A key with a passphrase is refused rather than asked for: no prompt may
// wait on a terminal in the middle of a scan.
int NoPassphrase(char* /*buffer*/, int /*size*/, int /*writing*/, void* /*data*/)
{
    return -1;
}

UniqueBio MemoryOf(const std::string& bytes)
{
    return UniqueBio(BIO_new_mem_buf(bytes.data(), static_cast<int>(bytes.size())));
}

// Every certificate in `pem`, in order; none when there is none or the
// text is no PEM.
std::vector<UniqueX509> ReadCertificates(const std::string& pem)
{
    std::vector<UniqueX509> certificates;
    const UniqueBio bio = MemoryOf(pem);
    while (bio != nullptr) {
        X509* certificate = PEM_read_bio_X509(bio.get(), nullptr, NoPassphrase, nullptr);
        if (certificate == nullptr)
            break;
        certificates.emplace_back(certificate);
    }
    ERR_clear_error();  // the end of the text reads as an error
    return certificates;
}

PortResult Refused(const char* what, const std::string& why)
{
    return TlsRefusal(what + why);
}

PortResult TrustCertificates(SSL_CTX* context, const std::string& pem)
{
    std::vector<UniqueX509> certificates = ReadCertificates(pem);
    if (certificates.empty())
        return Refused(TlsReason::BadTrustedCertificates, "the file holds no certificate in PEM form");
    X509_STORE* store = SSL_CTX_get_cert_store(context);
    for (const UniqueX509& certificate : certificates) {
        if (X509_STORE_add_cert(store, certificate.get()) != 1)
            return Refused(TlsReason::BadTrustedCertificates, TakeOpenSslError());
    }
    return PortSucceeded(PortOperation::Open);
}

// The first certificate is the client's; the others lead to its authority.
PortResult UseClientCertificate(SSL_CTX* context, const TlsSettings& settings)
{
    std::vector<UniqueX509> certificates = ReadCertificates(settings.clientCertificate);
    if (certificates.empty())
        return Refused(TlsReason::BadClientCertificate, "the certificate file holds no certificate in PEM form");
    if (SSL_CTX_use_certificate(context, certificates[0].get()) != 1)
        return Refused(TlsReason::BadClientCertificate, TakeOpenSslError());
    for (std::size_t i = 1; i < certificates.size(); ++i) {
        if (SSL_CTX_add1_chain_cert(context, certificates[i].get()) != 1)
            return Refused(TlsReason::BadClientCertificate, TakeOpenSslError());
    }
    const UniqueBio bio = MemoryOf(settings.clientKey);
    const UniqueKey key(bio != nullptr ? PEM_read_bio_PrivateKey(bio.get(), nullptr, NoPassphrase, nullptr) : nullptr);
    if (key == nullptr) {
        ERR_clear_error();
        return Refused(TlsReason::BadClientCertificate,
                       "the key file holds no private key in PEM form without a passphrase");
    }
    if (SSL_CTX_use_PrivateKey(context, key.get()) != 1 || SSL_CTX_check_private_key(context) != 1) {
        ERR_clear_error();
        return Refused(TlsReason::BadClientCertificate, "the key is not the certificate's");
    }
    return PortSucceeded(PortOperation::Open);
}

}  // namespace

std::string TakeOpenSslError()
{
    const unsigned long error = ERR_peek_last_error();
    const char* reason = error != 0 ? ERR_reason_error_string(error) : nullptr;
    ERR_clear_error();
    return reason != nullptr ? reason : "unknown error";
}

// With a fingerprint the chain is not checked by OpenSSL: the handshake
// takes any certificate, and the caller compares its digest before a byte
// goes through.
PortResult MakeTlsContext(const TlsSettings& settings, UniqueSslContext& context)
{
    UniqueSslContext made(SSL_CTX_new(TLS_client_method()));
    if (made == nullptr || SSL_CTX_set_min_proto_version(made.get(), TLS1_2_VERSION) != 1)
        return TlsRefusal(TlsReason::Failed + TakeOpenSslError());
    if (settings.fingerprint.empty()) {
        SSL_CTX_set_verify(made.get(), SSL_VERIFY_PEER, nullptr);
        const PortResult trusted = settings.trustedPem.empty() ? (SSL_CTX_set_default_verify_paths(made.get()) == 1
                                                                      ? PortSucceeded(PortOperation::Open)
                                                                      : Refused(TlsReason::Failed, TakeOpenSslError()))
                                                               : TrustCertificates(made.get(), settings.trustedPem);
        if (!trusted.Ok())
            return trusted;
    } else {
        SSL_CTX_set_verify(made.get(), SSL_VERIFY_NONE, nullptr);
    }
    if (!settings.clientCertificate.empty()) {
        const PortResult client = UseClientCertificate(made.get(), settings);
        if (!client.Ok())
            return client;
    }
    context = std::move(made);
    return PortSucceeded(PortOperation::Open);
}
