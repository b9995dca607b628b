#include "TlsCheckWin32.h"

#include "CryptHandlesWin32.h"
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

// Whether the certificate's subjectAltName holds the IP address `host`
// (numeric), compared as bytes; crypt32 decodes the extension.
bool NamesAddress(PCCERT_CONTEXT certificate, const std::string& host)
{
    unsigned char address[16] = {};
    DWORD length = 0;
    if (inet_pton(AF_INET, host.c_str(), address) == 1)
        length = 4;
    else if (inet_pton(AF_INET6, host.c_str(), address) == 1)
        length = 16;
    else
        return false;
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
        found = entry.dwAltNameChoice == CERT_ALT_NAME_IP_ADDRESS && entry.IPAddress.cbData == length &&
                std::memcmp(entry.IPAddress.pbData, address, length) == 0;
    }
    LocalFree(names);
    return found;
}

// What the chain itself says, before any policy: an authority nobody
// trusts (unless it is one of --tls-ca's), a time outside the validity.
std::string ChainReason(PCCERT_CHAIN_CONTEXT chain, PCCERT_CONTEXT server, bool ownAuthority)
{
    const DWORD errors = chain->TrustStatus.dwErrorStatus;
    if ((errors & CERT_TRUST_IS_NOT_TIME_VALID) != 0)
        return CertVerifyTimeValidity(nullptr, server->pCertInfo) < 0 ? TlsReason::NotYetValid : TlsReason::Expired;
    const DWORD untrusted = CERT_TRUST_IS_PARTIAL_CHAIN | (ownAuthority ? 0 : CERT_TRUST_IS_UNTRUSTED_ROOT);
    if ((errors & untrusted) != 0)
        return TlsReason::UnknownAuthority;
    if ((errors & CERT_TRUST_IS_NOT_VALID_FOR_USAGE) != 0)
        return TlsReason::Failed + std::string("the server's certificate is not made for a TLS server");
    const DWORD ignored =
        CERT_TRUST_IS_UNTRUSTED_ROOT | CERT_TRUST_REVOCATION_STATUS_UNKNOWN | CERT_TRUST_IS_OFFLINE_REVOCATION;
    if ((errors & ~ignored) != 0)
        return TlsReason::Failed + std::string("the certificate chain does not hold (") + std::to_string(errors) + ")";
    return "";
}

std::string PolicyReason(DWORD error, const std::string& host)
{
    switch (error) {
        case 0:
            return "";
        case static_cast<DWORD>(CERT_E_CN_NO_MATCH):
            return TlsReason::NameMismatch + host;
        case static_cast<DWORD>(CERT_E_EXPIRED):
            return TlsReason::Expired;
        case static_cast<DWORD>(CERT_E_UNTRUSTEDROOT):
        case static_cast<DWORD>(CERT_E_CHAINING):
            return TlsReason::UnknownAuthority;
        default:
            return TlsReason::Failed + std::string("certificate check error ") + std::to_string(error);
    }
}

}  // namespace

// With --tls-ca the chain ends in a root the system need not trust: it must
// be one of those certificates, and the policy is told to let the unknown
// root pass; everything else it checks as for any server.
std::string CheckServerCertificate(PCCERT_CONTEXT server, const std::string& host, const TlsSettings& settings,
                                   std::string& fingerprint)
{
    fingerprint = Sha256Of(server);
    if (!settings.fingerprint.empty())
        return FingerprintRefusal(fingerprint, settings.fingerprint);
    UniqueStore trusted;
    if (!settings.trustedPem.empty()) {
        trusted = TrustedStore(settings.trustedPem);
        if (trusted == nullptr)
            return std::string(TlsReason::BadTrustedCertificates) + "the file holds no certificate in PEM form";
    }
    UniqueStore extra(CertOpenStore(CERT_STORE_PROV_COLLECTION, 0, 0, 0, nullptr));
    if (extra == nullptr)
        return std::string(TlsReason::Failed) + "no certificate store";
    CertAddStoreToCollection(extra.get(), server->hCertStore, 0, 0);
    if (trusted != nullptr)
        CertAddStoreToCollection(extra.get(), trusted.get(), 0, 0);
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
    if (trusted != nullptr) {
        const CERT_SIMPLE_CHAIN* simple = chain->cChain > 0 ? chain->rgpChain[0] : nullptr;
        const CERT_CHAIN_ELEMENT* root =
            simple != nullptr && simple->cElement > 0 ? simple->rgpElement[simple->cElement - 1] : nullptr;
        const UniqueCertificate same(root != nullptr
                                         ? CertFindCertificateInStore(trusted.get(), X509_ASN_ENCODING, 0,
                                                                      CERT_FIND_EXISTING, root->pCertContext, nullptr)
                                         : nullptr);
        if (same == nullptr)
            return TlsReason::UnknownAuthority;
    }
    const std::string chainReason = ChainReason(chain.get(), server, trusted != nullptr);
    if (!chainReason.empty())
        return chainReason;
    // An address is compared here: the policy matches names only (under Wine).
    const bool numeric =
        host.find_first_not_of("0123456789.") == std::string::npos || host.find(':') != std::string::npos;
    if (numeric && !NamesAddress(server, host))
        return TlsReason::NameMismatch + host;
    const std::wstring wideHost(host.begin(), host.end());  // a host is letters, digits and . - _ : only
    SSL_EXTRA_CERT_CHAIN_POLICY_PARA ssl = {};
    ssl.cbSize = sizeof ssl;
    ssl.dwAuthType = AUTHTYPE_SERVER;
    ssl.fdwChecks = trusted != nullptr ? IgnoreUnknownAuthority : 0;
    ssl.pwszServerName = numeric ? nullptr : const_cast<wchar_t*>(wideHost.c_str());
    CERT_CHAIN_POLICY_PARA policy = {};
    policy.cbSize = sizeof policy;
    policy.pvExtraPolicyPara = &ssl;
    CERT_CHAIN_POLICY_STATUS status = {};
    status.cbSize = sizeof status;
    if (!CertVerifyCertificateChainPolicy(CERT_CHAIN_POLICY_SSL, chain.get(), &policy, &status))
        return std::string(TlsReason::Failed) + "the certificate could not be checked";
    return PolicyReason(status.dwError, host);
}
