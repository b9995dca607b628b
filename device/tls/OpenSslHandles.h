// Owners of OpenSSL's objects: each is freed once, by its own free function.
#pragma once

#include <memory>

#include <openssl/bio.h>
#include <openssl/evp.h>
#include <openssl/ssl.h>
#include <openssl/x509.h>

template <typename T, void (*Free)(T*)>
struct OpenSslFree {
    void operator()(T* object) const { Free(object); }
};

using UniqueSslContext = std::unique_ptr<SSL_CTX, OpenSslFree<SSL_CTX, SSL_CTX_free>>;
using UniqueSsl = std::unique_ptr<SSL, OpenSslFree<SSL, SSL_free>>;
using UniqueBio = std::unique_ptr<BIO, OpenSslFree<BIO, BIO_free_all>>;
using UniqueX509 = std::unique_ptr<X509, OpenSslFree<X509, X509_free>>;
using UniqueKey = std::unique_ptr<EVP_PKEY, OpenSslFree<EVP_PKEY, EVP_PKEY_free>>;
