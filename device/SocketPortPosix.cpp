// TCP for socket:// and rfc2217:// on POSIX, and the socket stream that
// Bluetooth RFCOMM shares.
#include "SocketPortPosix.h"

#include "AddressLookup.h"
#include "CallBefore.h"
#include "HostLookup.h"
#include "NetworkPorts.h"
#include "PlainStream.h"
#include "TlsStreamOpenSsl.h"

#include <cerrno>
#include <string>
#include <vector>

#include <netdb.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>

namespace {

class PosixSocketStream : public Stream {
public:
    explicit PosixSocketStream(UniqueFd socket) : m_socket(std::move(socket)) {}

    // MSG_NOSIGNAL: a closed connection is an error here, not SIGPIPE.
    StreamResult Send(const char* data, std::size_t length) override
    {
        return Classify(send(m_socket.Get(), data, length, MSG_NOSIGNAL));
    }

    StreamResult Receive(char* buffer, std::size_t size) override
    {
        const ssize_t count = recv(m_socket.Get(), buffer, size, 0);
        return count == 0 ? StreamResult{StreamStatus::Closed, 0, 0} : Classify(count);
    }

    // An error or a hang-up counts as ready: the next call tells which.
    StreamWait Wait(bool forWriting, Deadline deadline, long& /*error*/) override
    {
        return WaitFor(m_socket.Get(), forWriting ? POLLOUT : POLLIN, deadline) != 0 ? StreamWait::Ready
                                                                                     : StreamWait::TimedOut;
    }

    PortResult Failure(LinkResult outcome, PortOperation operation, long error) const override
    {
        return PosixFailure(outcome, operation, static_cast<int>(error));
    }

private:
    static StreamResult Classify(ssize_t count)
    {
        if (count > 0)
            return {StreamStatus::Moved, static_cast<std::size_t>(count), 0};
        if (count == 0 || errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR)
            return {StreamStatus::Waiting, 0, 0};
        return {StreamStatus::Failed, 0, errno};
    }

    UniqueFd m_socket;
};

struct Lookup {
    int error = 0;  // getaddrinfo's
    std::vector<std::string> addresses;
};

// The resolver's own answer, on the lookup's thread: nothing of it may
// outlive the call but the copied addresses.
Lookup LookUpNow(const std::string& host)
{
    Lookup lookup;
    addrinfo hints = {};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* found = nullptr;
    lookup.error = getaddrinfo(host.c_str(), nullptr, &hints, &found);
    for (const addrinfo* entry = lookup.error == 0 ? found : nullptr; entry != nullptr; entry = entry->ai_next) {
        char numeric[NI_MAXHOST] = {};
        if (getnameinfo(entry->ai_addr, entry->ai_addrlen, numeric, sizeof numeric, nullptr, 0, NI_NUMERICHOST) == 0)
            lookup.addresses.push_back(numeric);
    }
    if (found != nullptr)
        freeaddrinfo(found);
    return lookup;
}

// Connects to the first of `addresses` (numeric) that answers; the reason of
// the last one that did not, when none did.
PortResult ConnectTcp(const std::vector<std::string>& addresses, unsigned short port, UniqueFd& socket,
                      Deadline deadline)
{
    addrinfo hints = {};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    hints.ai_flags = AI_NUMERICHOST | AI_NUMERICSERV;
    PortResult result = PortFailed(LinkResult::OpenFailed, PortOperation::Open);
    for (std::size_t i = 0; i < addresses.size(); ++i) {
        addrinfo* found = nullptr;
        const int error = getaddrinfo(addresses[i].c_str(), std::to_string(port).c_str(), &hints, &found);
        if (error != 0) {  // not numeric after all: LookUpHost gives numeric forms only
            result = PortFailed(LinkResult::OpenFailed, PortOperation::Open, error, gai_strerror(error));
            continue;
        }
        // Each address gets its share of the time left: one that never
        // answers leaves the others theirs.
        const Deadline share = FirstShare(deadline, addresses.size() - i);
        UniqueFd candidate(
            ::socket(found->ai_family, found->ai_socktype | SOCK_NONBLOCK | SOCK_CLOEXEC, found->ai_protocol));
        if (candidate.IsValid())
            result = ConnectBefore(candidate.Get(), found->ai_addr, found->ai_addrlen, share);
        else
            result = PosixFailure(LinkResult::OpenFailed, PortOperation::Open, errno);
        freeaddrinfo(found);
        if (result.Ok()) {
            // Small writes go out at once: a query is 13 bytes.
            const int on = 1;
            setsockopt(candidate.Get(), IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
            socket = std::move(candidate);
            break;
        }
    }
    return result;
}

}  // namespace

PortResult LookUpHost(const std::string& host, Deadline deadline, std::vector<std::string>& addresses)
{
    Lookup lookup;
    if (!CallBefore<Lookup>(
            deadline, [host] { return LookUpNow(host); }, lookup))
        return PortFailed(LinkResult::OpenFailed, PortOperation::Open, 0, NoLookupAnswer);
    if (lookup.error != 0)  // getaddrinfo: no such name, or no resolver
        return PortFailed(LinkResult::OpenFailed, PortOperation::Open, lookup.error, gai_strerror(lookup.error));
    addresses = std::move(lookup.addresses);
    return PortSucceeded(PortOperation::Open);
}

PortResult ConnectBefore(int fd, const sockaddr* address, socklen_t length, Deadline deadline)
{
    if (connect(fd, address, length) == 0)
        return PortSucceeded(PortOperation::Open);
    if (errno != EINPROGRESS && errno != EINTR)  // connect: refused at once, unreachable
        return PosixFailure(LinkResult::OpenFailed, PortOperation::Open, errno);
    if (WaitFor(fd, POLLOUT, deadline) == 0)
        return PosixFailure(LinkResult::OpenFailed, PortOperation::Open, ETIMEDOUT);
    int error = 0;
    socklen_t size = sizeof error;
    if (getsockopt(fd, SOL_SOCKET, SO_ERROR, &error, &size) != 0)
        error = errno;
    if (error != 0)  // the connection was refused or could not be made
        return PosixFailure(LinkResult::OpenFailed, PortOperation::Open, error);
    return PortSucceeded(PortOperation::Open);
}

std::unique_ptr<SerialPort> CreatePosixSocketPort(SocketConnector connect)
{
    return std::make_unique<StreamPort>([connect](std::unique_ptr<Stream>& stream, Deadline deadline) {
        UniqueFd socket;
        const PortResult result = connect(socket, deadline);
        if (result.Ok())
            stream = std::make_unique<PosixSocketStream>(std::move(socket));
        return result;
    });
}

// TLS, for a "+tls" address, starts on the connected socket within the same
// set-up deadline.
std::unique_ptr<SerialPort> CreateSocketSerialPort(const PortAddress& address, std::chrono::milliseconds greetingWait)
{
    return std::make_unique<StreamPort>(
        [address](std::unique_ptr<Stream>& stream, Deadline deadline) {
            std::vector<std::string> found;
            const PortResult lookup = AddressesToTry(address, deadline, found);
            if (!lookup.Ok())
                return lookup;
            UniqueFd socket;
            const PortResult connected = ConnectTcp(found, address.tcpPort, socket, deadline);
            if (!connected.Ok())
                return connected;
            if (address.tls)
                return StartTls(std::move(socket), address.host, address.tlsSettings, deadline, stream);
            stream = PlainStream(std::make_unique<PosixSocketStream>(std::move(socket)));
            return connected;
        },
        greetingWait);
}
