#include "TlsContextOpenSsl.h"

#include "TlsReasons.h"

#include <openssl/err.h>
#include <openssl/pem.h>
#include <openssl/x509v3.h>

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

// OpenSSL's default level: no RSA or DSA key under 2048 bits, no curve
// under 224 bits, no SHA-1 or MD5 signature; set here so that no system
// configuration lowers it.
constexpr int SecurityLevel = 2;

CertificateNotes* NotesOf(X509_STORE_CTX* store)
{
    SSL* ssl = static_cast<SSL*>(X509_STORE_CTX_get_ex_data(store, SSL_get_ex_data_X509_STORE_CTX_idx()));
    return ssl != nullptr ? static_cast<CertificateNotes*>(SSL_get_app_data(ssl)) : nullptr;
}

std::string SubjectOf(X509* certificate)
{
    const UniqueBio bio(BIO_new(BIO_s_mem()));
    if (certificate == nullptr || bio == nullptr ||
        X509_NAME_print_ex(bio.get(), X509_get_subject_name(certificate), 0, XN_FLAG_RFC2253) < 0)
        return "";
    char* text = nullptr;
    const long length = BIO_get_mem_data(bio.get(), &text);
    return length > 0 ? std::string(text, static_cast<std::size_t>(length)) : std::string();
}

// Notes the first certificate that failed the check, which goes on as
// OpenSSL decided.
int NoteFailure(int ok, X509_STORE_CTX* store)
{
    CertificateNotes* notes = NotesOf(store);
    if (ok == 0 && notes != nullptr && notes->depth < 0) {
        notes->depth = X509_STORE_CTX_get_error_depth(store);
        notes->subject = SubjectOf(X509_STORE_CTX_get_current_cert(store));
    }
    return ok;
}

// With a fingerprint, the server's certificate is that one or the
// handshake fails there, before the client sends a certificate of its own.
int CheckFingerprint(X509_STORE_CTX* store, void* prepared)
{
    const std::string seen = CertificateDigest(X509_STORE_CTX_get0_cert(store));
    if (CertificateNotes* notes = NotesOf(store))
        notes->fingerprint = seen;
    if (!seen.empty() && seen == static_cast<const TlsPrepared*>(prepared)->fingerprint)
        return 1;
    X509_STORE_CTX_set_error(store, X509_V_ERR_APPLICATION_VERIFICATION);
    return 0;
}

}  // namespace

void NoteCertificates(SSL* ssl, CertificateNotes* notes)
{
    SSL_set_app_data(ssl, notes);
}

std::string CertificateDigest(X509* certificate)
{
    unsigned char digest[EVP_MAX_MD_SIZE] = {};
    unsigned int length = 0;
    if (certificate == nullptr || X509_digest(certificate, EVP_sha256(), digest, &length) != 1)
        return "";
    return std::string(reinterpret_cast<const char*>(digest), length);
}

std::string TakeOpenSslError()
{
    const unsigned long error = ERR_peek_last_error();
    const char* reason = error != 0 ? ERR_reason_error_string(error) : nullptr;
    ERR_clear_error();
    return reason != nullptr ? reason : "unknown error";
}

// With a fingerprint the chain is not checked by OpenSSL: the handshake
// compares the server certificate's digest instead.
PortResult MakeTlsContext(const TlsSettings& settings, std::shared_ptr<TlsPrepared>& prepared)
{
    auto result = std::make_shared<TlsPrepared>();
    result->fingerprint = settings.fingerprint;
    result->context.reset(SSL_CTX_new(TLS_client_method()));
    SSL_CTX* made = result->context.get();
    if (made == nullptr || SSL_CTX_set_min_proto_version(made, TLS1_2_VERSION) != 1)
        return TlsRefusal(TlsReason::Failed + TakeOpenSslError());
    SSL_CTX_set_security_level(made, SecurityLevel);
    SSL_CTX_set_verify(made, SSL_VERIFY_PEER, NoteFailure);
    if (settings.fingerprint.empty()) {
        const PortResult trusted = settings.trustedPem.empty() ? (SSL_CTX_set_default_verify_paths(made) == 1
                                                                      ? PortSucceeded(PortOperation::Open)
                                                                      : Refused(TlsReason::Failed, TakeOpenSslError()))
                                                               : TrustCertificates(made, settings.trustedPem);
        if (!trusted.Ok())
            return trusted;
    } else {
        SSL_CTX_set_cert_verify_callback(made, CheckFingerprint, result.get());
    }
    if (!settings.clientCertificate.empty()) {
        const PortResult client = UseClientCertificate(made, settings);
        if (!client.Ok())
            return client;
    }
    prepared = std::move(result);
    return PortSucceeded(PortOperation::Open);
}
