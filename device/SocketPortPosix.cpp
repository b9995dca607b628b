// TCP for socket:// and rfc2217:// on POSIX, and the stream socket port that
// Bluetooth RFCOMM shares.
#include "SocketPortPosix.h"

#include "NetworkPorts.h"

#include <algorithm>
#include <cerrno>
#include <string>

#include <fcntl.h>
#include <netdb.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <unistd.h>

namespace {

using Milliseconds = std::chrono::milliseconds;

// The waits of a serial port: about 5 s to connect and per awaited byte, and
// 1000 + 10 * n ms for a write of n bytes.
constexpr Milliseconds ConnectWait{5000};
constexpr Milliseconds ReadByteWait{5000 + 10 * 1};
constexpr Milliseconds WriteWaitConstant{1000};
constexpr Milliseconds WriteWaitPerByte{10};
constexpr std::size_t MaxWriteLength = std::size_t{1} << 30;

constexpr char ClosedByFarSide[] = "The far side closed the connection";

// Resolves `host` and connects to the first of its addresses that answers;
// the reason of the last one that did not, when none did.
PortResult ConnectTcp(const std::string& host, unsigned short port, UniqueFd& socket, PosixClock::time_point deadline)
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

PortResult ConnectBefore(int fd, const sockaddr* address, socklen_t length, PosixClock::time_point deadline)
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

PosixSocketPort::PosixSocketPort(SocketConnector connect) : m_connect(std::move(connect)), m_readByteWait(ReadByteWait)
{}

PosixSocketPort::~PosixSocketPort()
{
    Close();
}

PortResult PosixSocketPort::Open(const std::string& /*path*/)
{
    Close();
    UniqueFd connected;
    const PortResult result = m_connect(connected, PosixClock::now() + ConnectWait);
    if (result.Ok())
        m_socket = std::move(connected);
    return result;
}

void PosixSocketPort::Close()
{
    m_socket.Reset();
    m_readAheadNext = m_readAheadEnd = 0;
}

// Sends until every byte is gone or the write's wait is over; a connection
// that stays full reports a short count, as a serial port does.
PortResult PosixSocketPort::Write(const void* data, std::size_t length)
{
    if (!IsOpen())
        return PosixFailure(LinkResult::WriteFailed, PortOperation::Write, 0);
    const std::size_t request = std::min<std::size_t>(length, MaxWriteLength);
    const auto deadline =
        PosixClock::now() + WriteWaitConstant + WriteWaitPerByte * static_cast<Milliseconds::rep>(request);
    const char* bytes = static_cast<const char*>(data);
    std::size_t sent = 0;
    while (sent < request) {
        // MSG_NOSIGNAL: a closed connection is an error here, not SIGPIPE.
        const ssize_t count = send(m_socket.Get(), bytes + sent, request - sent, MSG_NOSIGNAL);
        if (count > 0) {
            sent += static_cast<std::size_t>(count);
            continue;
        }
        if (count < 0 && errno == EINTR)
            continue;
        if (count < 0 && errno != EAGAIN && errno != EWOULDBLOCK)  // send: the connection failed
            return PosixFailure(LinkResult::WriteFailed, PortOperation::Write, errno);
        if (WaitFor(m_socket.Get(), POLLOUT, deadline) == 0)
            break;
    }
    return PortSucceeded(PortOperation::Write, sent);
}

PortResult PosixSocketPort::ReadByte(char& byte)
{
    if (!IsOpen())
        return PosixFailure(LinkResult::Timeout, PortOperation::Read, 0);
    if (m_readAheadNext < m_readAheadEnd) {
        byte = m_readAhead[m_readAheadNext++];
        return PortSucceeded(PortOperation::Read, 1);
    }
    const auto deadline = PosixClock::now() + m_readByteWait;
    for (;;) {
        const ssize_t count = recv(m_socket.Get(), m_readAhead, sizeof m_readAhead, 0);
        if (count > 0) {
            m_readAheadNext = 1;
            m_readAheadEnd = static_cast<std::size_t>(count);
            byte = m_readAhead[0];
            return PortSucceeded(PortOperation::Read, 1);
        }
        if (count == 0)  // the far side closed the connection, as a hang-up
            return PortFailed(LinkResult::Timeout, PortOperation::Read, 0, ClosedByFarSide);
        if (errno == EINTR)
            continue;
        if (errno != EAGAIN && errno != EWOULDBLOCK)  // recv: the connection failed (reset)
            return PosixFailure(LinkResult::Timeout, PortOperation::Read, errno);
        if (WaitFor(m_socket.Get(), POLLIN, deadline) == 0)
            return PosixFailure(LinkResult::Timeout, PortOperation::Read, 0);  // time-out
    }
}

PortResult PosixSocketPort::SetReadTimeout(unsigned milliseconds)
{
    m_readByteWait = Milliseconds(milliseconds);
    return PortSucceeded(PortOperation::SetReadTimeout, 0);
}

std::unique_ptr<SerialPort> CreateSocketSerialPort(const std::string& host, unsigned short port)
{
    return std::make_unique<PosixSocketPort>([host, port](UniqueFd& socket, PosixClock::time_point deadline) {
        return ConnectTcp(host, port, socket, deadline);
    });
}
