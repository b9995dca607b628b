// TCP for socket:// and rfc2217:// on POSIX, and the socket stream that
// Bluetooth RFCOMM shares.
#include "SocketPortPosix.h"

#include "NetworkPorts.h"

#include <cerrno>
#include <string>

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

    bool Wait(bool forWriting, StreamClock::time_point deadline) override
    {
        return WaitFor(m_socket.Get(), forWriting ? POLLOUT : POLLIN, deadline) != 0;
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

// Resolves `host` and connects to the first of its addresses that answers;
// the reason of the last one that did not, when none did.
PortResult ConnectTcp(const std::string& host, unsigned short port, UniqueFd& socket, StreamClock::time_point deadline)
{
    addrinfo hints = {};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* found = nullptr;
    const int lookup = getaddrinfo(host.c_str(), std::to_string(port).c_str(), &hints, &found);
    if (lookup != 0)  // getaddrinfo: no such name, or no resolver
        return PortFailed(LinkResult::OpenFailed, PortOperation::Open, lookup, gai_strerror(lookup));
    PortResult result = PortFailed(LinkResult::OpenFailed, PortOperation::Open);
    for (const addrinfo* entry = found; entry != nullptr; entry = entry->ai_next) {
        UniqueFd candidate(
            ::socket(entry->ai_family, entry->ai_socktype | SOCK_NONBLOCK | SOCK_CLOEXEC, entry->ai_protocol));
        if (!candidate.IsValid()) {
            result = PosixFailure(LinkResult::OpenFailed, PortOperation::Open, errno);
            continue;
        }
        result = ConnectBefore(candidate.Get(), entry->ai_addr, entry->ai_addrlen, deadline);
        if (result.Ok()) {
            // Small writes go out at once: a query is 13 bytes.
            const int on = 1;
            setsockopt(candidate.Get(), IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
            socket = std::move(candidate);
            break;
        }
    }
    freeaddrinfo(found);
    return result;
}

}  // namespace

PortResult ConnectBefore(int fd, const sockaddr* address, socklen_t length, StreamClock::time_point deadline)
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
    return std::make_unique<StreamPort>([connect](std::unique_ptr<Stream>& stream, StreamClock::time_point deadline) {
        UniqueFd socket;
        const PortResult result = connect(socket, deadline);
        if (result.Ok())
            stream = std::make_unique<PosixSocketStream>(std::move(socket));
        return result;
    });
}

std::unique_ptr<SerialPort> CreateSocketSerialPort(const std::string& host, unsigned short port)
{
    return CreatePosixSocketPort([host, port](UniqueFd& socket, StreamClock::time_point deadline) {
        return ConnectTcp(host, port, socket, deadline);
    });
}
