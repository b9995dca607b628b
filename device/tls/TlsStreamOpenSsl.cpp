#include "TlsStream.h"

#include "network/SocketPort.h"
#include "serial/PosixIo.h"
#include "TlsContextOpenSsl.h"
#include "TlsFailureOpenSsl.h"
#include "TlsReasons.h"

#include <algorithm>
#include <cerrno>
#include <csignal>

#include <arpa/inet.h>
#include <openssl/err.h>
#include <openssl/x509v3.h>
#include <poll.h>
#include <pthread.h>

namespace {

// OpenSSL writes to the socket with write(), which raises SIGPIPE on a
// connection the far side closed. While one is held, such a signal stays
// pending on this thread and is taken away afterwards, so the failed write
// shows as an error (EPIPE) instead of ending the program.
class SigpipeHeld {
public:
    SigpipeHeld()
    {
        sigemptyset(&m_pipe);
        sigaddset(&m_pipe, SIGPIPE);
        sigset_t pending;
        sigpending(&pending);
        m_wasPending = sigismember(&pending, SIGPIPE) == 1;
        pthread_sigmask(SIG_BLOCK, &m_pipe, &m_before);
    }
    ~SigpipeHeld()
    {
        sigset_t pending;
        sigpending(&pending);
        if (!m_wasPending && sigismember(&pending, SIGPIPE) == 1) {
            const timespec none = {0, 0};
            sigtimedwait(&m_pipe, nullptr, &none);
        }
        pthread_sigmask(SIG_SETMASK, &m_before, nullptr);
    }
    SigpipeHeld(const SigpipeHeld&) = delete;
    SigpipeHeld& operator=(const SigpipeHeld&) = delete;

private:
    sigset_t m_pipe;
    sigset_t m_before;
    bool m_wasPending = false;
};

// The most data one TLS record carries: a write waiting on a full socket
// holds at most that much.
constexpr std::size_t MaxRecordData = 16384;

bool IsNumericHost(const std::string& host)
{
    unsigned char address[16];
    return inet_pton(AF_INET, host.c_str(), address) == 1 || inet_pton(AF_INET6, host.c_str(), address) == 1;
}

class TlsStream : public Stream {
public:
    TlsStream(UniqueFd socket, UniqueSsl ssl, std::string host, ClientCertificateSeen client,
              std::unique_ptr<CertificateNotes> notes)
        : m_socket(std::move(socket)),
          m_ssl(std::move(ssl)),
          m_host(std::move(host)),
          m_client(client),
          m_notes(std::move(notes))
    {}

    // A close_notify, if the connection takes it at once: the server then
    // knows the end was meant.
    ~TlsStream() override
    {
        const SigpipeHeld held;
        SSL_shutdown(m_ssl.get());
        ERR_clear_error();
    }

    // A write OpenSSL could not finish holds a record made of its bytes: it
    // must be tried again with the same bytes. A caller that gave up on it
    // and writes others would have OpenSSL send a record nobody counted, so
    // the stream fails instead.
    StreamResult Send(const char* data, std::size_t length) override
    {
        if (!m_held.empty() &&
            (length < m_held.size() || std::char_traits<char>::compare(data, m_held.data(), m_held.size()) != 0)) {
            m_failure = std::string(TlsReason::Failed) +
                        "a write that ran out of time left a TLS record half sent; the connection cannot go on";
            return {StreamStatus::Failed, 0, 0};
        }
        const SigpipeHeld held;
        std::size_t written = 0;
        ERR_clear_error();
        errno = 0;  // SSL_ERROR_SYSCALL reads it: no earlier call's may stay
        const int done = SSL_write_ex(m_ssl.get(), data, length, &written);
        const StreamResult result = Classify(done, written);
        if (result.status == StreamStatus::Waiting && m_held.empty())
            m_held.assign(data, std::min(length, MaxRecordData));
        else if (result.status != StreamStatus::Waiting)
            m_held.clear();
        return result;
    }

    StreamResult Receive(char* buffer, std::size_t size) override
    {
        const SigpipeHeld held;  // a read may answer the server (a key update)
        std::size_t read = 0;
        ERR_clear_error();
        errno = 0;  // SSL_ERROR_SYSCALL reads it: no earlier call's may stay
        const int done = SSL_read_ex(m_ssl.get(), buffer, size, &read);
        // Records that carry no data (session tickets) are read here too,
        // and the server may hold its next segment until they are
        // acknowledged.
        AcknowledgePromptly(m_socket.Get());
        return Classify(done, read);
    }

    // TLS may need to read before it can write, or the other way round:
    // the wait is for what the last call asked for.
    StreamWait Wait(bool forWriting, Deadline deadline, long& /*error*/) override
    {
        const bool writing = m_wants == SSL_ERROR_WANT_WRITE || (m_wants != SSL_ERROR_WANT_READ && forWriting);
        return WaitFor(m_socket.Get(), writing ? POLLOUT : POLLIN, deadline) != 0 ? StreamWait::Ready
                                                                                  : StreamWait::TimedOut;
    }

    PortResult Failure(LinkResult outcome, PortOperation operation, long error) const override
    {
        if (!m_failure.empty())
            return PortFailed(outcome, operation, 0, m_failure);
        return PosixFailure(outcome, operation, static_cast<int>(error));
    }

private:
    StreamResult Classify(int done, std::size_t count)
    {
        const int error = done == 1 ? SSL_ERROR_NONE : SSL_get_error(m_ssl.get(), done);
        m_wants = error;
        switch (error) {
            case SSL_ERROR_NONE:
                return {StreamStatus::Moved, count, 0};
            case SSL_ERROR_WANT_READ:
            case SSL_ERROR_WANT_WRITE:
                return {StreamStatus::Waiting, 0, 0};
            case SSL_ERROR_ZERO_RETURN:
                return {StreamStatus::Closed, 0, 0};
            case SSL_ERROR_SYSCALL:  // a reset or a broken pipe fails as on a plain socket
                if (errno == 0)
                    return {StreamStatus::Closed, 0, 0};
                return {StreamStatus::Failed, 0, errno};
            default:
                // A server that ends the connection without a close_notify
                // (most serial servers) has closed it as a socket is closed.
                if (ERR_GET_REASON(ERR_peek_last_error()) == SSL_R_UNEXPECTED_EOF_WHILE_READING) {
                    ERR_clear_error();
                    return {StreamStatus::Closed, 0, 0};
                }
                m_failure = FailureReason(m_ssl.get(), m_host, m_client, *m_notes);
                return {StreamStatus::Failed, 0, 0};
        }
    }

    // Declared in the order they are made, so that they go in reverse; the
    // connection holds its own reference to its context.
    UniqueFd m_socket;
    UniqueSsl m_ssl;
    std::string m_host;
    ClientCertificateSeen m_client;
    std::unique_ptr<CertificateNotes> m_notes;  // tied to m_ssl for a check after the handshake
    int m_wants = SSL_ERROR_NONE;
    std::string m_failure;  // the reason of the last failed call, in words
    std::string m_held;     // the bytes of a write OpenSSL holds half sent
};

// Notes a certificate request from the server, which OpenSSL hands over
// decrypted in TLS 1.3 too.
void NoteCertificateRequest(int writing, int /*version*/, int contentType, const void* bytes, std::size_t length,
                            SSL* /*ssl*/, void* seen)
{
    if (writing == 0 && contentType == SSL3_RT_HANDSHAKE && length > 0 &&
        static_cast<const unsigned char*>(bytes)[0] == SSL3_MT_CERTIFICATE_REQUEST)
        static_cast<ClientCertificateSeen*>(seen)->asked = true;
}

// The SHA-256 of the server certificate's DER form, 32 bytes, or "".
std::string ServerFingerprint(SSL* ssl)
{
    const UniqueX509 certificate(SSL_get1_peer_certificate(ssl));
    return CertificateDigest(certificate.get());
}

// "TLSv1.3" as people write it: "TLS 1.3".
std::string VersionText(SSL* ssl)
{
    std::string version = SSL_get_version(ssl);
    if (version.compare(0, 4, "TLSv") == 0)
        version = "TLS " + version.substr(4);
    return version;
}

PortResult Handshake(SSL* ssl, int socket, const std::string& host, const ClientCertificateSeen& client,
                     const CertificateNotes& notes, Deadline deadline)
{
    for (;;) {
        ERR_clear_error();
        errno = 0;
        const SigpipeHeld held;
        const int done = SSL_connect(ssl);
        AcknowledgePromptly(socket);
        if (done == 1)
            return PortSucceeded(PortOperation::Open);
        const int error = SSL_get_error(ssl, done);
        if (error == SSL_ERROR_WANT_READ || error == SSL_ERROR_WANT_WRITE) {
            if (WaitFor(socket, error == SSL_ERROR_WANT_READ ? POLLIN : POLLOUT, deadline) == 0)
                return TlsRefusal(BIO_number_read(SSL_get_rbio(ssl)) > 0 ? TlsReason::HandshakeUnfinished
                                                                         : TlsReason::NoHandshake);
            continue;
        }
        if (error == SSL_ERROR_SYSCALL && errno != 0)
            return PosixFailure(LinkResult::OpenFailed, PortOperation::Open, errno);
        if (error == SSL_ERROR_SYSCALL || error == SSL_ERROR_ZERO_RETURN)  // closed
            return TlsRefusal(ClosedHandshakeReason(BIO_number_read(SSL_get_rbio(ssl)) > 0, client.given));
        return TlsRefusal(FailureReason(ssl, host, client, notes));
    }
}

}  // namespace

std::string PrepareTls(TlsSettings& settings)
{
    std::shared_ptr<TlsPrepared> prepared;
    const PortResult made = MakeTlsContext(settings, prepared);
    if (!made.Ok())
        return made.systemText;
    settings.prepared = std::move(prepared);
    return "";
}

PortResult StartTls(OwnedSocket socket, const std::string& address, const TlsSettings& settings, Deadline deadline,
                    std::unique_ptr<Stream>& stream)
{
    std::shared_ptr<const TlsPrepared> prepared = settings.prepared;
    if (prepared == nullptr) {
        std::shared_ptr<TlsPrepared> made;
        const PortResult result = MakeTlsContext(settings, made);
        if (!result.Ok())
            return result;
        prepared = std::move(made);
    }
    UniqueSsl ssl(SSL_new(prepared->context.get()));
    if (ssl == nullptr || SSL_set_fd(ssl.get(), socket.Get()) != 1)
        return TlsRefusal(TlsReason::Failed + TakeOpenSslError());
    // A write that timed out may be taken up again from another buffer, and
    // a long one goes through a record at a time, as a socket's does.
    SSL_set_mode(ssl.get(), SSL_MODE_ENABLE_PARTIAL_WRITE | SSL_MODE_ACCEPT_MOVING_WRITE_BUFFER);
    // A name goes to the server (SNI), with a fingerprint too, so that a
    // server that picks its certificate by name shows the same one as to
    // Schannel; an address does not. Neither goes with a zone or a
    // trailing dot.
    const std::string host = CertificateHost(address);
    const bool numeric = IsNumericHost(host);
    if (!numeric && SSL_set_tlsext_host_name(ssl.get(), host.c_str()) != 1)
        return TlsRefusal(TlsReason::Failed + TakeOpenSslError());
    // Names are matched against the subjectAltName alone, never the
    // subject's Common Name, and a wildcard stands for a whole label.
    if (prepared->fingerprint.empty()) {
        SSL_set_hostflags(ssl.get(), X509_CHECK_FLAG_NEVER_CHECK_SUBJECT | X509_CHECK_FLAG_NO_PARTIAL_WILDCARDS);
        const bool named = numeric ? X509_VERIFY_PARAM_set1_ip_asc(SSL_get0_param(ssl.get()), host.c_str()) == 1
                                   : SSL_set1_host(ssl.get(), host.c_str()) == 1;
        if (!named)
            return TlsRefusal(TlsReason::Failed + TakeOpenSslError());
    }
    ClientCertificateSeen client;
    client.given = !settings.clientCertificate.empty();
    auto notes = std::make_unique<CertificateNotes>();
    NoteCertificates(ssl.get(), notes.get());
    SSL_set_msg_callback(ssl.get(), NoteCertificateRequest);
    SSL_set_msg_callback_arg(ssl.get(), &client);
    const PortResult shaken = Handshake(ssl.get(), socket.Get(), host, client, *notes, deadline);
    SSL_set_msg_callback(ssl.get(), nullptr);  // `client` stays here
    if (!shaken.Ok())
        return shaken;
    const std::string fingerprint = ServerFingerprint(ssl.get());
    const std::string refused = FingerprintRefusal(fingerprint, prepared->fingerprint);
    if (!refused.empty())
        return TlsRefusal(refused);
    if (settings.noteSession)
        settings.noteSession(SessionNote(VersionText(ssl.get()), fingerprint));
    stream = std::make_unique<TlsStream>(std::move(socket), std::move(ssl), host, client, std::move(notes));
    return shaken;
}
