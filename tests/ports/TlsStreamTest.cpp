// The OpenSSL stream against a TLS server in this process, on a socket pair
// with small buffers: a server that stops reading leaves a record half sent.
#include "tls/TlsStream.h"

#include <gtest/gtest.h>

#include <openssl/evp.h>
#include <openssl/ssl.h>
#include <openssl/x509.h>

#include <future>
#include <memory>
#include <string>
#include <thread>

#include <csignal>

#include <fcntl.h>
#include <pthread.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

struct SslFree {
    void operator()(SSL_CTX* context) const { SSL_CTX_free(context); }
    void operator()(SSL* ssl) const { SSL_free(ssl); }
    void operator()(X509* certificate) const { X509_free(certificate); }
    void operator()(EVP_PKEY* key) const { EVP_PKEY_free(key); }
};

// A server context with a self-signed P-256 certificate made here, and the
// certificate's SHA-256, which the client takes as its fingerprint.
std::unique_ptr<SSL_CTX, SslFree> ServerContext(std::string& fingerprint)
{
    std::unique_ptr<EVP_PKEY, SslFree> key(EVP_EC_gen("P-256"));
    std::unique_ptr<X509, SslFree> certificate(X509_new());
    if (key == nullptr || certificate == nullptr)
        return nullptr;
    X509_set_version(certificate.get(), 2);
    ASN1_INTEGER_set(X509_get_serialNumber(certificate.get()), 1);
    X509_gmtime_adj(X509_getm_notBefore(certificate.get()), -60);
    X509_gmtime_adj(X509_getm_notAfter(certificate.get()), 3600);
    X509_NAME_add_entry_by_txt(X509_get_subject_name(certificate.get()), "CN", MBSTRING_ASC,
                               reinterpret_cast<const unsigned char*>("stream test"), -1, -1, 0);
    X509_set_issuer_name(certificate.get(), X509_get_subject_name(certificate.get()));
    X509_set_pubkey(certificate.get(), key.get());
    if (X509_sign(certificate.get(), key.get(), EVP_sha256()) == 0)
        return nullptr;
    unsigned char digest[EVP_MAX_MD_SIZE];
    unsigned int length = 0;
    X509_digest(certificate.get(), EVP_sha256(), digest, &length);
    fingerprint.assign(reinterpret_cast<const char*>(digest), length);
    std::unique_ptr<SSL_CTX, SslFree> context(SSL_CTX_new(TLS_server_method()));
    if (context == nullptr || SSL_CTX_use_certificate(context.get(), certificate.get()) != 1 ||
        SSL_CTX_use_PrivateKey(context.get(), key.get()) != 1)
        return nullptr;
    return context;
}

// A write OpenSSL could not finish holds a record of its bytes. The same
// bytes again may go on; other bytes in their place would send a record
// nobody counted, so the stream fails in words instead.
TEST(TlsStream, AWriteLeftHalfSentGoesOnOnlyWithItsOwnBytes)
{
    std::string fingerprint;
    const auto context = ServerContext(fingerprint);
    ASSERT_NE(context, nullptr);
    int pair[2];
    ASSERT_EQ(socketpair(AF_UNIX, SOCK_STREAM, 0, pair), 0);
    OwnedSocket client(pair[0]);
    const UniqueFd serverEnd(pair[1]);
    const int small = 4096;
    setsockopt(client.Get(), SOL_SOCKET, SO_SNDBUF, &small, sizeof small);
    setsockopt(serverEnd.Get(), SOL_SOCKET, SO_RCVBUF, &small, sizeof small);
    ASSERT_EQ(fcntl(client.Get(), F_SETFL, fcntl(client.Get(), F_GETFL) | O_NONBLOCK), 0);

    // The server shakes hands and then reads nothing until the test ends;
    // what it still writes to the closed pair fails instead of a signal.
    std::promise<void> done;
    std::thread server([&context, &serverEnd, ended = done.get_future()] {
        sigset_t pipe;
        sigemptyset(&pipe);
        sigaddset(&pipe, SIGPIPE);
        pthread_sigmask(SIG_BLOCK, &pipe, nullptr);
        const std::unique_ptr<SSL, SslFree> ssl(SSL_new(context.get()));
        SSL_set_fd(ssl.get(), serverEnd.Get());
        if (SSL_accept(ssl.get()) == 1)
            ended.wait();
    });
    TlsSettings settings;
    settings.fingerprint = fingerprint;
    std::unique_ptr<Stream> stream;
    const PortResult started =
        StartTls(std::move(client), "localhost", settings, DeadlineAfter(std::chrono::seconds(10)), stream);
    ASSERT_TRUE(started.Ok()) << started.systemText;

    const std::string first(8192, 'a');
    StreamResult sent{StreamStatus::Moved, 0, 0};
    for (int tries = 0; tries < 1000 && sent.status == StreamStatus::Moved; ++tries)
        sent = stream->Send(first.data(), first.size());
    EXPECT_EQ(sent.status, StreamStatus::Waiting);
    EXPECT_EQ(stream->Send(first.data(), first.size()).status, StreamStatus::Waiting);
    const std::string other(first.size(), 'b');
    EXPECT_EQ(stream->Send(other.data(), other.size()).status, StreamStatus::Failed);
    EXPECT_NE(stream->Failure(LinkResult::WriteFailed, PortOperation::Write, 0).systemText.find("half sent"),
              std::string::npos);

    done.set_value();
    stream.reset();
    shutdown(serverEnd.Get(), SHUT_RDWR);
    server.join();
}

}  // namespace
