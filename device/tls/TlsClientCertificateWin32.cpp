#include "TlsClientCertificateWin32.h"

#include "serial/Win32Errors.h"

namespace {

// Where crypt32 keeps the key that goes with a certificate, by how it was
// imported: a key container, a CryptoAPI key or a CNG key in memory.
bool HasPrivateKey(PCCERT_CONTEXT certificate)
{
    for (DWORD property : {CERT_KEY_PROV_INFO_PROP_ID, CERT_KEY_CONTEXT_PROP_ID, CERT_NCRYPT_KEY_HANDLE_PROP_ID}) {
        DWORD size = 0;
        if (CertGetCertificateContextProperty(certificate, property, nullptr, &size))
            return true;
    }
    return false;
}

}  // namespace

std::string ClientCertificate::Load(const std::string& pkcs12)
{
    std::string bytes = pkcs12;  // crypt32 takes the blob as writable
    CRYPT_DATA_BLOB blob = {static_cast<DWORD>(bytes.size()), reinterpret_cast<BYTE*>(&bytes[0])};
    if (bytes.empty() || blob.cbData != bytes.size() || !PFXIsPFXBlob(&blob))
        return "the file is no PKCS#12 file; on Windows --tls-cert takes a .p12 file that holds the key too";
    // A file made without a passphrase has an empty one, which some makers
    // encode as none at all: both are tried.
    DWORD error = 0;
    for (const wchar_t* passphrase : {L"", static_cast<const wchar_t*>(nullptr)}) {
        m_store.reset(PFXImportCertStore(&blob, passphrase, PKCS12_NO_PERSIST_KEY));
        if (m_store != nullptr)
            break;
        if (error != ERROR_INVALID_PASSWORD)  // the likelier reason stays
            error = GetLastError();
    }
    if (m_store == nullptr && error == ERROR_INVALID_PASSWORD)
        return "the PKCS#12 file has a passphrase; make it with an empty one (openssl pkcs12 -export -passout pass:)";
    const std::string words = error == 0 ? std::string() : SystemText(error);  // Wine gives none
    if (m_store == nullptr && words.empty())
        return "the PKCS#12 file cannot be read: it has a passphrase, is damaged, or holds a kind of key this system "
               "does not take";
    if (m_store == nullptr)
        return "the PKCS#12 file cannot be read (" + words + ")";
    for (PCCERT_CONTEXT certificate = CertEnumCertificatesInStore(m_store.get(), nullptr); certificate != nullptr;
         certificate = CertEnumCertificatesInStore(m_store.get(), certificate)) {
        if (HasPrivateKey(certificate)) {
            m_certificate.reset(certificate);  // the enumeration's reference, which stopping leaves to us
            return "";
        }
    }
    return "the PKCS#12 file holds no certificate with its private key";
}
