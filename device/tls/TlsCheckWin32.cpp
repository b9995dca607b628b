#include "TlsCheckWin32.h"

#include "TlsReasons.h"

#include <ws2tcpip.h>

#include <cstring>
#include <memory>
#include <vector>

namespace {

constexpr char PemBegin[] = "-----BEGIN CERTIFICATE-----";
constexpr char PemEnd[] = "-----END CERTIFICATE-----";
// SECURITY_FLAG_IGNORE_UNKNOWN_CA of wininet.h, which this file needs no
// more of.
constexpr DWORD IgnoreUnknownAuthority = 0x00000100;
// What OpenSSL's default security level refuses, on Windows too: RSA and
// DSA keys under 2048 bits, curves under 224, SHA-1 and MD5 signatures.
constexpr DWORD LeastRsaBits = 2048;
constexpr DWORD LeastCurveBits = 224;
constexpr const char* WeakSignatures[] = {
    szOID_RSA_MD5RSA,   szOID_RSA_SHA1RSA,    szOID_OIWSEC_sha1RSASign, szOID_ECDSA_SHA1,
    szOID_X957_SHA1DSA, szOID_OIWSEC_dsaSHA1, szOID_RSA_MD2RSA,         szOID_RSA_MD4RSA,
};

// A store in memory with every certificate of `pem`; crypt32 decodes each
// block. Null when there is none.
UniqueStore TrustedStore(const std::string& pem)
{
    UniqueStore store(CertOpenStore(CERT_STORE_PROV_MEMORY, 0, 0, 0, nullptr));
    std::size_t added = 0;
    for (std::size_t begin = pem.find(PemBegin); store != nullptr && begin != std::string::npos;
         begin = pem.find(PemBegin, begin + 1)) {
        const std::size_t end = pem.find(PemEnd, begin);
        if (end == std::string::npos)
            break;
        const std::string block = pem.substr(begin, end + sizeof PemEnd - 1 - begin);
        DWORD size = 0;
        if (!CryptStringToBinaryA(block.c_str(), static_cast<DWORD>(block.size()), CRYPT_STRING_BASE64HEADER, nullptr,
                                  &size, nullptr, nullptr))
            continue;
        std::vector<BYTE> der(size);
        if (CryptStringToBinaryA(block.c_str(), static_cast<DWORD>(block.size()), CRYPT_STRING_BASE64HEADER, der.data(),
                                 &size, nullptr, nullptr) &&
            CertAddEncodedCertificateToStore(store.get(), X509_ASN_ENCODING, der.data(), size, CERT_STORE_ADD_ALWAYS,
                                             nullptr))
            ++added;
    }
    return added > 0 ? std::move(store) : UniqueStore();
}

std::string Sha256Of(PCCERT_CONTEXT certificate)
{
    BYTE digest[Sha256Length] = {};
    DWORD size = sizeof digest;
    if (!CryptHashCertificate2(L"SHA256", 0, nullptr, certificate->pbCertEncoded, certificate->cbCertEncoded, digest,
                               &size) ||
        size != static_cast<DWORD>(Sha256Length))
        return "";
    return std::string(reinterpret_cast<const char*>(digest), size);
}

std::string SubjectOf(PCCERT_CONTEXT certificate)
{
    char name[512] = {};
    CertNameToStrA(X509_ASN_ENCODING, &certificate->pCertInfo->Subject, CERT_X500_NAME_STR | CERT_NAME_STR_REVERSE_FLAG,
                   name, sizeof name);
    return name;
}

// Whether the certificate's subjectAltName names `host`: an IP address
// compared as bytes, a name by DnsNameMatches. A certificate without one
// names nothing: its Common Name is never read.
bool NamesHost(PCCERT_CONTEXT certificate, const std::string& host)
{
    unsigned char address[16] = {};
    DWORD length = 0;
    if (inet_pton(AF_INET, host.c_str(), address) == 1)
        length = 4;
    else if (inet_pton(AF_INET6, host.c_str(), address) == 1)
        length = 16;
    const CERT_EXTENSION* extension = CertFindExtension(szOID_SUBJECT_ALT_NAME2, certificate->pCertInfo->cExtension,
                                                        certificate->pCertInfo->rgExtension);
    CERT_ALT_NAME_INFO* names = nullptr;
    DWORD size = 0;
    if (extension == nullptr ||
        !CryptDecodeObjectEx(X509_ASN_ENCODING, X509_ALTERNATE_NAME, extension->Value.pbData, extension->Value.cbData,
                             CRYPT_DECODE_ALLOC_FLAG, nullptr, &names, &size))
        return false;
    bool found = false;
    for (DWORD i = 0; i < names->cAltEntry && !found; ++i) {
        const CERT_ALT_NAME_ENTRY& entry = names->rgAltEntry[i];
        if (length > 0) {
            found = entry.dwAltNameChoice == CERT_ALT_NAME_IP_ADDRESS && entry.IPAddress.cbData == length &&
                    std::memcmp(entry.IPAddress.pbData, address, length) == 0;
        } else if (entry.dwAltNameChoice == CERT_ALT_NAME_DNS_NAME && entry.pwszDNSName != nullptr) {
            std::string name;
            bool ascii = true;
            for (const wchar_t* c = entry.pwszDNSName; *c != 0; ++c) {
                ascii = ascii && *c < 0x80;
                name += static_cast<char>(*c);
            }
            found = ascii && DnsNameMatches(name, host);
        }
    }
    LocalFree(names);
    return found;
}

// Whether `certificate` is one of `store`'s, byte for byte: an authority
// that copies another's name and serial number is not that authority.
bool InStore(HCERTSTORE store, PCCERT_CONTEXT certificate)
{
    for (PCCERT_CONTEXT held = CertEnumCertificatesInStore(store, nullptr); held != nullptr;
         held = CertEnumCertificatesInStore(store, held)) {
        if (held->cbCertEncoded == certificate->cbCertEncoded &&
            std::memcmp(held->pbCertEncoded, certificate->pbCertEncoded, held->cbCertEncoded) == 0) {
            CertFreeCertificateContext(held);
            return true;
        }
    }
    return false;
}

bool IsCurve(const CERT_PUBLIC_KEY_INFO& key)
{
    return key.Algorithm.pszObjId != nullptr && std::strcmp(key.Algorithm.pszObjId, szOID_ECC_PUBLIC_KEY) == 0;
}

// A key's size in bits, 0 when it is of no kind measured here. A curve's is
// read from its point, which every system decodes alike: 02 or 03 and X
// (compressed), else 04, X and Y. An RSA-PSS key is an RSA key under
// another name: its size is read as one.
DWORD KeyBits(const CERT_PUBLIC_KEY_INFO& key)
{
    if (IsCurve(key)) {
        const DWORD size = key.PublicKey.cbData;
        if (size < 2)
            return 0;
        const bool compressed = key.PublicKey.pbData[0] == 0x02 || key.PublicKey.pbData[0] == 0x03;
        return (compressed ? size - 1 : (size - 1) / 2) * 8;
    }
    const char* algorithm = key.Algorithm.pszObjId != nullptr ? key.Algorithm.pszObjId : "";
    CERT_PUBLIC_KEY_INFO measured = key;
    if (std::strcmp(algorithm, szOID_RSA_SSA_PSS) == 0)
        measured.Algorithm.pszObjId = const_cast<LPSTR>(szOID_RSA_RSA);
    else if (std::strcmp(algorithm, szOID_RSA_RSA) != 0 && std::strcmp(algorithm, szOID_X957_DSA) != 0)
        return 0;
    return CertGetPublicKeyLength(X509_ASN_ENCODING, &measured);
}

// The reason a key or signature of the chain is too weak, of the first
// certificate that has one; a root's signature on itself proves nothing
// and is not looked at.
std::string StrengthReason(const CERT_SIMPLE_CHAIN& chain)
{
    for (DWORD i = 0; i < chain.cElement; ++i) {
        PCCERT_CONTEXT certificate = chain.rgpElement[i]->pCertContext;
        const std::string subject = i == 0 ? std::string() : SubjectOf(certificate);
        const DWORD bits = KeyBits(certificate->pCertInfo->SubjectPublicKeyInfo);
        if (bits != 0 && bits < (IsCurve(certificate->pCertInfo->SubjectPublicKeyInfo) ? LeastCurveBits : LeastRsaBits))
            return TlsReason::InChain(TlsReason::WeakKey, subject);
        const bool root =
            i + 1 == chain.cElement && CertCompareCertificateName(X509_ASN_ENCODING, &certificate->pCertInfo->Subject,
                                                                  &certificate->pCertInfo->Issuer);
        const char* signature = certificate->pCertInfo->SignatureAlgorithm.pszObjId;
        for (const char* weak : WeakSignatures) {
            if (!root && signature != nullptr && std::strcmp(signature, weak) == 0)
                return TlsReason::InChain(TlsReason::WeakSignature, subject);
        }
    }
    return "";
}

// What the chain itself says, before any policy: an authority nobody
// trusts (unless it is --tls-ca's), a certificate outside its dates (named
// when it is not the server's own), any other error in words.
std::string ChainReason(PCCERT_CHAIN_CONTEXT chain, bool ownAuthority)
{
    const DWORD errors = chain->TrustStatus.dwErrorStatus;
    const CERT_SIMPLE_CHAIN* simple = chain->cChain > 0 ? chain->rgpChain[0] : nullptr;
    if ((errors & CERT_TRUST_IS_NOT_TIME_VALID) != 0 && simple != nullptr) {
        for (DWORD i = 0; i < simple->cElement; ++i) {
            PCCERT_CONTEXT certificate = simple->rgpElement[i]->pCertContext;
            const LONG when = CertVerifyTimeValidity(nullptr, certificate->pCertInfo);
            if (when != 0)
                return TlsReason::InChain(when < 0 ? TlsReason::NotYetValid : TlsReason::Expired,
                                          i == 0 ? std::string() : SubjectOf(certificate));
        }
        return TlsReason::Expired;
    }
    const DWORD untrusted = CERT_TRUST_IS_PARTIAL_CHAIN | (ownAuthority ? 0 : CERT_TRUST_IS_UNTRUSTED_ROOT);
    if ((errors & untrusted) != 0)
        return TlsReason::UnknownAuthority;
    if ((errors & CERT_TRUST_IS_NOT_VALID_FOR_USAGE) != 0)
        return TlsReason::Failed + std::string("the server's certificate is not made for a TLS server");
    if ((errors & CERT_TRUST_INVALID_BASIC_CONSTRAINTS) != 0)
        return TlsReason::NotAuthority;
    const DWORD ignored =
        CERT_TRUST_IS_UNTRUSTED_ROOT | CERT_TRUST_REVOCATION_STATUS_UNKNOWN | CERT_TRUST_IS_OFFLINE_REVOCATION;
    if ((errors & ~ignored) != 0)
        return TlsReason::ChainErrorReason(errors & ~ignored);
    return "";
}

std::string PolicyReason(DWORD error)
{
    switch (error) {
        case 0:
            return "";
        case static_cast<DWORD>(CERT_E_EXPIRED):
            return TlsReason::Expired;
        case static_cast<DWORD>(CERT_E_UNTRUSTEDROOT):
        case static_cast<DWORD>(CERT_E_CHAINING):
            return TlsReason::UnknownAuthority;
        default:
            return TlsReason::Failed + std::string("the certificate's check failed (") + TlsReason::HexNumber(error) +
                   ")";
    }
}

}  // namespace

std::string PrepareCertificates(const TlsSettings& settings, TlsPrepared& prepared)
{
    prepared.fingerprint = settings.fingerprint;
    if (!settings.trustedPem.empty()) {
        prepared.trusted = TrustedStore(settings.trustedPem);
        if (prepared.trusted == nullptr)
            return std::string(TlsReason::BadTrustedCertificates) + "the file holds no certificate in PEM form";
    }
    if (!settings.clientCertificate.empty()) {
        const std::string unusable = prepared.client.Load(settings.clientCertificate);
        if (!unusable.empty())
            return TlsReason::BadClientCertificate + unusable;
        prepared.hasClient = true;
    }
    return "";
}

// With --tls-ca the chain must end in one of those certificates, byte for
// byte, and the policy is told to let that root pass although the system
// does not trust it; everything else is checked as for any server. Names
// are matched here, against the subjectAltName alone: the policy is given
// none, as it would read the Common Name of a certificate without one.
std::string CheckServerCertificate(PCCERT_CONTEXT server, const std::string& host, const TlsPrepared& prepared,
                                   std::string& fingerprint)
{
    fingerprint = Sha256Of(server);
    if (!prepared.fingerprint.empty())
        return FingerprintRefusal(fingerprint, prepared.fingerprint);
    HCERTSTORE trusted = prepared.trusted.get();
    UniqueStore extra(CertOpenStore(CERT_STORE_PROV_COLLECTION, 0, 0, 0, nullptr));
    if (extra == nullptr)
        return std::string(TlsReason::Failed) + "no certificate store";
    CertAddStoreToCollection(extra.get(), server->hCertStore, 0, 0);
    if (trusted != nullptr)
        CertAddStoreToCollection(extra.get(), trusted, 0, 0);
    // The certificate must be one a server may use, as OpenSSL asks too.
    LPSTR serverUsage[] = {const_cast<LPSTR>(szOID_PKIX_KP_SERVER_AUTH)};
    CERT_CHAIN_PARA chainPara = {};
    chainPara.cbSize = sizeof chainPara;
    chainPara.RequestedUsage.dwType = USAGE_MATCH_TYPE_AND;
    chainPara.RequestedUsage.Usage.cUsageIdentifier = 1;
    chainPara.RequestedUsage.Usage.rgpszUsageIdentifier = serverUsage;
    PCCERT_CHAIN_CONTEXT found = nullptr;
    if (!CertGetCertificateChain(nullptr, server, nullptr, extra.get(), &chainPara, 0, nullptr, &found))
        return TlsReason::UnknownAuthority;
    const UniqueChain chain(found);
    const CERT_SIMPLE_CHAIN* simple = chain->cChain > 0 ? chain->rgpChain[0] : nullptr;
    if (simple == nullptr || simple->cElement == 0)
        return TlsReason::UnknownAuthority;
    if (trusted != nullptr && !InStore(trusted, simple->rgpElement[simple->cElement - 1]->pCertContext))
        return TlsReason::UnknownAuthority;
    // A weak signature first: the chain calls it one that does not verify.
    const std::string weak = StrengthReason(*simple);
    if (!weak.empty())
        return weak;
    const std::string chainReason = ChainReason(chain.get(), trusted != nullptr);
    if (!chainReason.empty())
        return chainReason;
    if (!NamesHost(server, host))
        return TlsReason::NameMismatch + host;
    SSL_EXTRA_CERT_CHAIN_POLICY_PARA ssl = {};
    ssl.cbSize = sizeof ssl;
    ssl.dwAuthType = AUTHTYPE_SERVER;
    ssl.fdwChecks = trusted != nullptr ? IgnoreUnknownAuthority : 0;
    ssl.pwszServerName = nullptr;
    CERT_CHAIN_POLICY_PARA policy = {};
    policy.cbSize = sizeof policy;
    policy.pvExtraPolicyPara = &ssl;
    CERT_CHAIN_POLICY_STATUS status = {};
    status.cbSize = sizeof status;
    if (!CertVerifyCertificateChainPolicy(CERT_CHAIN_POLICY_SSL, chain.get(), &policy, &status))
        return std::string(TlsReason::Failed) + "the certificate could not be checked";
    return PolicyReason(status.dwError);
}
