#include "TlsStream.h"
#include "network/SocketPort.h"

#include "network/PlainStream.h"
#include "CryptHandlesWin32.h"
#include "TlsCheckWin32.h"
#include "TlsClientCertificateWin32.h"
#include "TlsReasons.h"

#define SECURITY_WIN32
#include <windows.h>
#include <schannel.h>
#include <security.h>
#include <sspi.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <vector>

namespace {

constexpr ULONG ContextFlags = ISC_REQ_SEQUENCE_DETECT | ISC_REQ_REPLAY_DETECT | ISC_REQ_CONFIDENTIALITY |
                               ISC_REQ_ALLOCATE_MEMORY | ISC_REQ_STREAM | ISC_REQ_MANUAL_CRED_VALIDATION;
constexpr std::size_t ReceiveSize = 16 * 1024 + 512;  // a whole TLS record and more
constexpr int MaxEmptyRecords = 32;

// Schannel's status in words, with its number: 0x80090304.
std::string StatusText(SECURITY_STATUS status)
{
    return TlsReason::SchannelStatusReason(static_cast<std::uint32_t>(status));
}

// The handshake's wait ended: a server that had sent something was too
// slow, one that had sent nothing may be a plain one.
PortResult NoHandshakeRefusal(bool heard)
{
    return TlsRefusal(heard ? TlsReason::HandshakeUnfinished : TlsReason::NoHandshake);
}

// The handles of one connection, each released once; the prepared
// certificates (the client's among them) outlive the credentials that
// name them.
struct SchannelHandles {
    std::shared_ptr<const TlsPrepared> prepared;
    CredHandle credentials = {};
    CtxtHandle context = {};
    bool hasCredentials = false;
    bool hasContext = false;
    SchannelHandles() = default;
    SchannelHandles(const SchannelHandles&) = delete;
    SchannelHandles& operator=(const SchannelHandles&) = delete;
    ~SchannelHandles()
    {
        if (hasContext)
            DeleteSecurityContext(&context);
        if (hasCredentials)
            FreeCredentialsHandle(&credentials);
    }
};

class SchannelStream : public Stream {
public:
    SchannelStream(std::unique_ptr<Stream> transport, std::unique_ptr<SchannelHandles> handles)
        : m_transport(std::move(transport)), m_handles(std::move(handles))
    {}

    // A close_notify, if the connection takes it at once, as on OpenSSL's
    // side: the server then knows the end was meant.
    ~SchannelStream() override
    {
        if (!m_established || !m_pending.empty())
            return;
        DWORD type = SCHANNEL_SHUTDOWN;
        SecBuffer control = {sizeof type, SECBUFFER_TOKEN, &type};
        SecBufferDesc controlDescription = {SECBUFFER_VERSION, 1, &control};
        if (ApplyControlToken(&m_handles->context, &controlDescription) != SEC_E_OK)
            return;
        SecBuffer out = {0, SECBUFFER_TOKEN, nullptr};
        SecBufferDesc outDescription = {SECBUFFER_VERSION, 1, &out};
        ULONG attributes = 0;
        const SECURITY_STATUS status =
            InitializeSecurityContextA(&m_handles->credentials, &m_handles->context, nullptr, ContextFlags, 0, 0,
                                       nullptr, 0, nullptr, &outDescription, &attributes, nullptr);
        if (out.pvBuffer == nullptr)
            return;
        if (status == SEC_E_OK || status == SEC_I_CONTINUE_NEEDED)
            m_transport->Send(static_cast<const char*>(out.pvBuffer), out.cbBuffer);
        FreeContextBuffer(out.pvBuffer);
    }

    StreamResult Send(const char* data, std::size_t length) override
    {
        const StreamResult flushed = Flush();
        if (flushed.status != StreamStatus::Moved)
            return flushed;
        const std::size_t chunk = std::min<std::size_t>(length, m_sizes.cbMaximumMessage);
        std::vector<char> record(m_sizes.cbHeader + chunk + m_sizes.cbTrailer);
        std::copy(data, data + chunk, record.begin() + m_sizes.cbHeader);
        SecBuffer buffers[4] = {
            {m_sizes.cbHeader, SECBUFFER_STREAM_HEADER, record.data()},
            {static_cast<ULONG>(chunk), SECBUFFER_DATA, record.data() + m_sizes.cbHeader},
            {m_sizes.cbTrailer, SECBUFFER_STREAM_TRAILER, record.data() + m_sizes.cbHeader + chunk},
            {0, SECBUFFER_EMPTY, nullptr},
        };
        SecBufferDesc description = {SECBUFFER_VERSION, 4, buffers};
        const SECURITY_STATUS status = EncryptMessage(&m_handles->context, 0, &description, 0);
        if (status != SEC_E_OK)
            return Fail(StatusText(status));
        m_pending.assign(record.data(), buffers[0].cbBuffer + buffers[1].cbBuffer + buffers[2].cbBuffer);
        const StreamResult sent = Flush();
        if (sent.status == StreamStatus::Failed)
            return sent;
        return {StreamStatus::Moved, chunk, 0};  // what is left of the record goes first next time
    }

    // A server that sends record after record without data is stopped after
    // MaxEmptyRecords of them, as OpenSSL stops it: it would hold the read
    // past its deadline.
    StreamResult Receive(char* buffer, std::size_t size) override
    {
        // The rest of a record a full socket held back goes first: the
        // server answers nothing before it has the whole record.
        const StreamResult flushed = Flush();
        if (flushed.status == StreamStatus::Failed)
            return flushed;
        for (int empty = 0; empty <= MaxEmptyRecords;) {
            if (!m_plain.empty()) {
                const std::size_t count = std::min(size, m_plain.size());
                std::copy(m_plain.begin(), m_plain.begin() + static_cast<std::ptrdiff_t>(count), buffer);
                m_plain.erase(0, count);
                return {StreamStatus::Moved, count, 0};
            }
            if (!m_encrypted.empty()) {
                const StreamResult decrypted = Decrypt();
                if (decrypted.status == StreamStatus::Moved) {
                    empty += m_plain.empty() ? 1 : 0;
                    continue;
                }
                if (decrypted.status != StreamStatus::Waiting)
                    return decrypted;
            }
            const StreamResult received = ReceiveEncrypted();
            if (received.status != StreamStatus::Moved)
                return received;
        }
        return Fail(std::string(TlsReason::Failed) + "the server sends records without data");
    }

    StreamWait Wait(bool forWriting, Deadline deadline, long& error) override
    {
        return m_transport->Wait(forWriting || !m_pending.empty(), deadline, error);
    }

    PortResult Failure(LinkResult outcome, PortOperation operation, long error) const override
    {
        if (!m_failure.empty())
            return PortFailed(outcome, operation, 0, m_failure);
        return m_transport->Failure(outcome, operation, error);
    }

    // The handshake's share of the stream: what the server sent after it,
    // and the record sizes it agreed on.
    std::string& Encrypted() { return m_encrypted; }
    Stream& Transport() { return *m_transport; }
    SchannelHandles& Handles() { return *m_handles; }
    void SetSizes(const SecPkgContext_StreamSizes& sizes)
    {
        m_sizes = sizes;
        m_established = true;
    }

    // Appends what the transport has now to the encrypted input.
    StreamResult ReceiveEncrypted()
    {
        char buffer[ReceiveSize];
        const StreamResult received = m_transport->Receive(buffer, sizeof buffer);
        if (received.status == StreamStatus::Moved)
            m_encrypted.append(buffer, std::min(received.count, sizeof buffer));
        return received;
    }

private:
    StreamResult Fail(const std::string& reason)
    {
        m_failure = reason;
        return {StreamStatus::Failed, 0, 0};
    }

    // Sends what is left of the last record: Moved once all of it is gone.
    StreamResult Flush()
    {
        while (!m_pending.empty()) {
            const StreamResult sent = m_transport->Send(m_pending.data(), m_pending.size());
            if (sent.status != StreamStatus::Moved)
                return sent;
            m_pending.erase(0, sent.count);
        }
        return {StreamStatus::Moved, 0, 0};
    }

    // One record from the encrypted input: Moved with plain bytes (or none,
    // for a record that carries none), Waiting for more input, Closed or
    // Failed.
    StreamResult Decrypt()
    {
        std::vector<char> input(m_encrypted.begin(), m_encrypted.end());
        SecBuffer buffers[4] = {
            {static_cast<ULONG>(input.size()), SECBUFFER_DATA, input.data()},
            {0, SECBUFFER_EMPTY, nullptr},
            {0, SECBUFFER_EMPTY, nullptr},
            {0, SECBUFFER_EMPTY, nullptr},
        };
        SecBufferDesc description = {SECBUFFER_VERSION, 4, buffers};
        const SECURITY_STATUS status = DecryptMessage(&m_handles->context, &description, 0, nullptr);
        if (status == SEC_E_INCOMPLETE_MESSAGE)
            return {StreamStatus::Waiting, 0, 0};
        if (status == SEC_I_CONTEXT_EXPIRED)
            return {StreamStatus::Closed, 0, 0};
        // The connection is TLS 1.2: a server that asks to shake hands again
        // is not followed, and the stream ends in words rather than go on
        // with records it cannot read.
        if (status == SEC_I_RENEGOTIATE)
            return Fail(std::string(TlsReason::Failed) +
                        "the server asked for a new handshake in the middle of the connection, which this program "
                        "does not make");
        if (status != SEC_E_OK)
            return Fail(StatusText(status));
        // The decrypted data is the one data buffer after the header (the
        // input's buffer is the header now); what follows the record is
        // marked as extra.
        std::string extra;
        bool decrypted = false;
        for (std::size_t i = 1; i < sizeof buffers / sizeof buffers[0]; ++i) {
            const SecBuffer& buffer = buffers[i];
            if (!decrypted && buffer.BufferType == SECBUFFER_DATA && buffer.pvBuffer != nullptr) {
                m_plain.append(static_cast<const char*>(buffer.pvBuffer), buffer.cbBuffer);
                decrypted = true;
            }
            if (buffer.BufferType == SECBUFFER_EXTRA && buffer.cbBuffer <= input.size())
                extra.assign(input.data() + input.size() - buffer.cbBuffer, buffer.cbBuffer);
        }
        m_encrypted = extra;
        return {StreamStatus::Moved, 0, 0};
    }

    std::unique_ptr<Stream> m_transport;
    std::unique_ptr<SchannelHandles> m_handles;
    SecPkgContext_StreamSizes m_sizes = {};
    std::string m_encrypted;     // received, not decrypted yet
    std::string m_plain;         // decrypted, not handed out yet
    std::string m_pending;       // encrypted, not sent yet
    std::string m_failure;       // the reason of the last failed call, in words
    bool m_established = false;  // the handshake and the check passed
};

// The description of the first fatal alert among the records in `bytes`,
// or -1. Schannel under Wine answers any alert with SEC_E_INTERNAL_ERROR; a
// TLS 1.2 server sends it in clear text.
int FatalAlertIn(const std::string& bytes)
{
    constexpr std::size_t HeaderSize = 5;
    constexpr unsigned char AlertRecord = 21, Fatal = 2;
    for (std::size_t at = 0; at + HeaderSize <= bytes.size() && IsTlsRecordStart(&bytes[at], bytes.size() - at);) {
        const std::size_t length =
            static_cast<unsigned char>(bytes[at + 3]) * 256u + static_cast<unsigned char>(bytes[at + 4]);
        const std::size_t body = at + HeaderSize;
        if (static_cast<unsigned char>(bytes[at]) == AlertRecord && length == 2 && body + 2 <= bytes.size() &&
            static_cast<unsigned char>(bytes[body]) == Fatal)
            return static_cast<unsigned char>(bytes[body + 1]);
        at = body + length;
    }
    return -1;
}

// Sends a handshake token whole, waiting for the socket until `deadline`.
PortResult SendToken(Stream& transport, const SecBuffer& token, bool heard, Deadline deadline)
{
    const char* bytes = static_cast<const char*>(token.pvBuffer);
    std::size_t sent = 0;
    while (bytes != nullptr && sent < token.cbBuffer) {
        const StreamResult result = transport.Send(bytes + sent, token.cbBuffer - sent);
        if (result.status == StreamStatus::Moved) {
            sent += result.count;
            continue;
        }
        long error = 0;
        if (result.status == StreamStatus::Failed)
            return transport.Failure(LinkResult::OpenFailed, PortOperation::Open, result.error);
        if (transport.Wait(true, deadline, error) != StreamWait::Ready)
            return NoHandshakeRefusal(heard);
    }
    return PortSucceeded(PortOperation::Open);
}

// Waits for more of the server's handshake until `deadline`. A server whose
// first bytes are no TLS record is a plain one: Schannel would wait for the
// rest of a record that never comes. `heard` when the server had sent
// something before: a close then ends a handshake it did not like.
PortResult ReceiveMore(SchannelStream& stream, bool heard, bool clientGiven, Deadline deadline)
{
    for (;;) {
        const bool first = stream.Encrypted().empty();
        const StreamResult received = stream.ReceiveEncrypted();
        const std::string& input = stream.Encrypted();
        if (received.status == StreamStatus::Moved && first && input.size() >= 3 &&
            !IsTlsRecordStart(input.data(), input.size()))
            return TlsRefusal(TlsReason::PlainServer);
        if (received.status == StreamStatus::Moved)
            return PortSucceeded(PortOperation::Open);
        if (received.status == StreamStatus::Closed)
            return TlsRefusal(ClosedHandshakeReason(heard || !input.empty(), clientGiven));
        if (received.status == StreamStatus::Failed)
            return stream.Transport().Failure(LinkResult::OpenFailed, PortOperation::Open, received.error);
        long error = 0;
        if (stream.Transport().Wait(false, deadline, error) != StreamWait::Ready)
            return NoHandshakeRefusal(heard || !input.empty());
    }
}

// The reason for a handshake that failed with `status` on the server's
// `answer`; `answered` when the client's second flight, which carries its
// certificate, had gone.
std::string HandshakeFailure(SECURITY_STATUS status, const std::string& answer, bool answered, bool clientGiven)
{
    const int description = FatalAlertIn(answer);
    const char* alert = answered && description >= 0
                            ? TlsReason::ClientCertificateAlertName(static_cast<std::uint32_t>(description))
                            : nullptr;
    if (alert != nullptr && clientGiven)
        return TlsReason::ClientCertificateRefused + std::string(" (") + alert + ")";
    if (alert != nullptr)
        return TlsReason::ClientCertificateRequired;
    if (description >= 0)
        return TlsReason::AlertReason(static_cast<std::uint32_t>(description));
    // Schannel says the same of any alert; only bytes that are no TLS
    // record come from a plain server.
    const bool plain = answer.empty() || !IsTlsRecordStart(answer.data(), answer.size());
    if (plain && (status == SEC_E_ILLEGAL_MESSAGE || status == SEC_E_INVALID_TOKEN))
        return TlsReason::PlainServer;
    return StatusText(status);
}

// The server's check, made as soon as its certificate has come: before the
// client's second flight goes, which carries the client certificate when
// the server asked for one. Schannel gives every token to this program to
// send, so a server that fails the check receives nothing of that flight.
// (Giving the certificate only after SEC_I_INCOMPLETE_CREDENTIALS, in new
// credentials, would not do under Wine: its Schannel never returns that
// status, and keeps the credentials a context began with.)
struct ServerCheck {
    ServerCheck(const std::string& checkedHost, const TlsPrepared& checkedAs) : host(checkedHost), prepared(checkedAs)
    {}
    const std::string& host;
    const TlsPrepared& prepared;
    bool passed = false;
    std::string fingerprint;  // SHA-256 of the certificate that passed
};

// `early`: during the handshake. A Schannel that does not show the
// certificate yet has it checked once the handshake is done, unless the
// flight about to go carries a client certificate.
PortResult CheckServer(CtxtHandle& context, ServerCheck& check, bool early = false, bool clientGiven = false)
{
    if (check.passed)
        return PortSucceeded(PortOperation::Open);
    PCCERT_CONTEXT shown = nullptr;
    const bool hasCertificate =
        QueryContextAttributesA(&context, SECPKG_ATTR_REMOTE_CERT_CONTEXT, &shown) == SEC_E_OK && shown != nullptr;
    const UniqueCertificate server(shown);
    if (!hasCertificate && early && !clientGiven)
        return PortSucceeded(PortOperation::Open);
    if (!hasCertificate && early)
        return TlsRefusal(std::string(TlsReason::Failed) +
                          "Schannel does not show the server's certificate before the client certificate would go");
    if (!hasCertificate)
        return TlsRefusal(std::string(TlsReason::Failed) + "the server showed no certificate");
    const std::string refused = CheckServerCertificate(server.get(), check.host, check.prepared, check.fingerprint);
    if (!refused.empty())
        return TlsRefusal(refused);
    check.passed = true;
    return PortSucceeded(PortOperation::Open);
}

PortResult Handshake(SchannelStream& stream, ServerCheck& check, bool clientGiven, Deadline deadline)
{
    const std::string& host = check.host;
    SchannelHandles& handles = stream.Handles();
    std::string& input = stream.Encrypted();
    bool answered = false;
    ULONG flags = ContextFlags;
    for (bool first = true;; first = false) {
        if (PortClock::now() >= deadline)  // a server that keeps sending
            return NoHandshakeRefusal(!first);
        std::vector<char> token(input.begin(), input.end());
        SecBuffer in[2] = {{static_cast<ULONG>(token.size()), SECBUFFER_TOKEN, token.data()},
                           {0, SECBUFFER_EMPTY, nullptr}};
        SecBufferDesc inDescription = {SECBUFFER_VERSION, 2, in};
        SecBuffer out[1] = {{0, SECBUFFER_TOKEN, nullptr}};
        SecBufferDesc outDescription = {SECBUFFER_VERSION, 1, out};
        ULONG attributes = 0;
        const SECURITY_STATUS status = InitializeSecurityContextA(
            &handles.credentials, first ? nullptr : &handles.context, const_cast<char*>(host.c_str()), flags, 0, 0,
            first ? nullptr : &inDescription, 0, &handles.context, &outDescription, &attributes, nullptr);
        handles.hasContext = handles.hasContext || (first && !FAILED(status));
        // Only the client's first flight (its hello) goes before the check;
        // an alert of a failed handshake carries nothing of the client's.
        const bool going = out[0].pvBuffer != nullptr && (status == SEC_I_CONTINUE_NEEDED || status == SEC_E_OK);
        PortResult sent = !first && going ? CheckServer(handles.context, check, true, clientGiven)
                                          : PortSucceeded(PortOperation::Open);
        if (out[0].pvBuffer != nullptr) {
            if (sent.Ok())
                sent = SendToken(stream.Transport(), out[0], !first, deadline);
            FreeContextBuffer(out[0].pvBuffer);
            answered = answered || (!first && status == SEC_I_CONTINUE_NEEDED);
        }
        if (!sent.Ok())
            return sent;
        if (status == SEC_E_INCOMPLETE_MESSAGE) {
            const PortResult more = ReceiveMore(stream, !first, clientGiven, deadline);
            if (!more.Ok())
                return more;
            continue;
        }
        // A server that asks for a client certificate, and one that names
        // authorities the given one is not from: the same input again, with
        // what was given (maybe none), and the server decides.
        if (status == SEC_I_INCOMPLETE_CREDENTIALS && (flags & ISC_REQ_USE_SUPPLIED_CREDS) == 0) {
            flags |= ISC_REQ_USE_SUPPLIED_CREDS;
            continue;
        }
        input = in[1].BufferType == SECBUFFER_EXTRA && !first && in[1].cbBuffer <= token.size()
                    ? std::string(token.data() + token.size() - in[1].cbBuffer, in[1].cbBuffer)
                    : std::string();
        if (status == SEC_E_OK)
            return PortSucceeded(PortOperation::Open);
        if (status == SEC_I_INCOMPLETE_CREDENTIALS)
            return TlsRefusal(clientGiven ? TlsReason::ClientCertificateRefused : TlsReason::ClientCertificateRequired);
        if (status != SEC_I_CONTINUE_NEEDED)
            return TlsRefusal(HandshakeFailure(status, std::string(token.begin(), token.end()), answered, clientGiven));
        if (input.empty()) {
            const PortResult more = ReceiveMore(stream, !first, clientGiven, deadline);
            if (!more.Ok())
                return more;
        }
    }
}

std::string VersionText(const SecPkgContext_ConnectionInfo& info)
{
    if ((info.dwProtocol & SP_PROT_TLS1_3_CLIENT) != 0)
        return "TLS 1.3";
    if ((info.dwProtocol & SP_PROT_TLS1_2_CLIENT) != 0)
        return "TLS 1.2";
    return "TLS";
}

}  // namespace

std::string PrepareTls(TlsSettings& settings)
{
    auto prepared = std::make_shared<TlsPrepared>();
    const std::string unusable = PrepareCertificates(settings, *prepared);
    if (!unusable.empty())
        return unusable;
    settings.prepared = std::move(prepared);
    return "";
}

PortResult StartTls(OwnedSocket socket, const std::string& address, const TlsSettings& settings, Deadline deadline,
                    std::unique_ptr<Stream>& stream)
{
    std::unique_ptr<Stream> transport = SocketStream(std::move(socket));
    auto handles = std::make_unique<SchannelHandles>();
    handles->prepared = settings.prepared;
    if (handles->prepared == nullptr) {
        auto made = std::make_shared<TlsPrepared>();
        const std::string unusable = PrepareCertificates(settings, *made);
        if (!unusable.empty())
            return TlsRefusal(unusable);
        handles->prepared = std::move(made);
    }
    const TlsPrepared& prepared = *handles->prepared;
    // The name as certificates give it and as it goes to the server (SNI).
    const std::string host = CertificateHost(address);
    SCHANNEL_CRED credentials = {};
    PCCERT_CONTEXT client = prepared.hasClient ? prepared.client.Get() : nullptr;
    if (client != nullptr) {
        credentials.cCreds = 1;
        credentials.paCred = &client;
    }
    credentials.dwVersion = SCHANNEL_CRED_VERSION;
    // TLS 1.3 needs SCH_CREDENTIALS, which older Windows lacks: asked for
    // through SCHANNEL_CRED, it fails the credentials on some of them.
    credentials.grbitEnabledProtocols = SP_PROT_TLS1_2_CLIENT;
    credentials.dwFlags = SCH_CRED_MANUAL_CRED_VALIDATION | SCH_CRED_NO_DEFAULT_CREDS;
    const SECURITY_STATUS acquired =
        AcquireCredentialsHandleA(nullptr, const_cast<char*>(UNISP_NAME_A), SECPKG_CRED_OUTBOUND, nullptr, &credentials,
                                  nullptr, nullptr, &handles->credentials, nullptr);
    if (acquired != SEC_E_OK)
        return TlsRefusal(StatusText(acquired));
    handles->hasCredentials = true;
    auto secured = std::make_unique<SchannelStream>(std::move(transport), std::move(handles));
    ServerCheck check(host, prepared);
    const PortResult shaken = Handshake(*secured, check, client != nullptr, deadline);
    if (!shaken.Ok())
        return shaken;
    CtxtHandle* context = &secured->Handles().context;
    SecPkgContext_StreamSizes sizes = {};
    if (QueryContextAttributesA(context, SECPKG_ATTR_STREAM_SIZES, &sizes) != SEC_E_OK)
        return TlsRefusal(std::string(TlsReason::Failed) + "Schannel gave no record sizes");
    const PortResult checked = CheckServer(*context, check);
    if (!checked.Ok())
        return checked;
    secured->SetSizes(sizes);
    SecPkgContext_ConnectionInfo info = {};
    QueryContextAttributesA(context, SECPKG_ATTR_CONNECTION_INFO, &info);
    // Schannel takes a Diffie-Hellman group of 1024 bits, which OpenSSL
    // refuses: a key exchange anyone may break later protects no PIN. A
    // strength of 0 is one Schannel does not tell (Wine's never does).
    if ((info.aiExch == CALG_DH_EPHEM || info.aiExch == CALG_DH_SF) && info.dwExchStrength != 0 &&
        info.dwExchStrength < TlsReason::LeastKeyExchangeBits)
        return TlsRefusal(TlsReason::WeakKeyExchange);
    if (settings.noteSession)
        settings.noteSession(SessionNote(VersionText(info), check.fingerprint));
    stream = std::move(secured);
    return shaken;
}
