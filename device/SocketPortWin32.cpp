// TCP for socket:// and rfc2217:// through Winsock, and the stream socket
// port that Bluetooth RFCOMM shares.
#include "SocketPortWin32.h"

#include "NetworkPorts.h"
#include "Win32Errors.h"

#include <winsock2.h>
#include <ws2tcpip.h>

#include <algorithm>
#include <climits>
#include <string>

namespace {

using Milliseconds = std::chrono::milliseconds;

// The waits of a serial port: about 5 s to connect and per awaited byte, and
// 1000 + 10 * n ms for a write of n bytes.
constexpr Milliseconds ConnectWait{5000};
constexpr Milliseconds ReadByteWait{5000 + 10 * 1};
constexpr Milliseconds WriteWaitConstant{1000};
constexpr Milliseconds WriteWaitPerByte{10};
constexpr std::size_t MaxSendLength = INT_MAX;

constexpr char ClosedByFarSide[] = "The far side closed the connection";

PortResult Failed(LinkResult outcome, PortOperation operation, int error)
{
    return Win32Failure(outcome, operation, static_cast<unsigned long>(error));
}

// Waits until `socket` can be read (or written) or `deadline` passes. False
// on the deadline; a failed connection counts as ready, and the next call
// tells why.
bool WaitFor(SOCKET socket, bool forWriting, SocketClock::time_point deadline)
{
    const auto left =
        std::max<Milliseconds::rep>(0, std::chrono::ceil<Milliseconds>(deadline - SocketClock::now()).count());
    timeval wait = {};
    wait.tv_sec = static_cast<long>(left / 1000);
    wait.tv_usec = static_cast<long>((left % 1000) * 1000);
    fd_set ready;
    FD_ZERO(&ready);
    FD_SET(socket, &ready);
    fd_set failed;
    FD_ZERO(&failed);
    FD_SET(socket, &failed);
    const int count = select(0, forWriting ? nullptr : &ready, forWriting ? &ready : nullptr, &failed, &wait);
    return count != 0;
}

// Resolves `host` and connects to the first of its addresses that answers;
// the reason of the last one that did not, when none did.
PortResult ConnectTcp(const std::string& host, unsigned short port, UniqueSocket& socket,
                      SocketClock::time_point deadline)
{
    const PortResult started = StartWinsock();
    if (!started.Ok())
        return started;
    addrinfo hints = {};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    hints.ai_protocol = IPPROTO_TCP;
    addrinfo* found = nullptr;
    const int lookup = getaddrinfo(host.c_str(), std::to_string(port).c_str(), &hints, &found);
    if (lookup != 0)  // getaddrinfo: no such name, or no resolver
        return Failed(LinkResult::OpenFailed, PortOperation::Open, lookup);
    PortResult result = PortFailed(LinkResult::OpenFailed, PortOperation::Open);
    for (const addrinfo* entry = found; entry != nullptr; entry = entry->ai_next) {
        UniqueSocket candidate(::socket(entry->ai_family, entry->ai_socktype, entry->ai_protocol));
        if (!candidate.IsValid()) {
            result = Failed(LinkResult::OpenFailed, PortOperation::Open, WSAGetLastError());
            continue;
        }
        result = ConnectBefore(candidate.Get(), entry->ai_addr, static_cast<int>(entry->ai_addrlen), deadline);
        if (result.Ok()) {
            // Small writes go out at once: a query is 13 bytes.
            const BOOL on = TRUE;
            setsockopt(candidate.Get(), IPPROTO_TCP, TCP_NODELAY, reinterpret_cast<const char*>(&on), sizeof on);
            socket = std::move(candidate);
            break;
        }
    }
    freeaddrinfo(found);
    return result;
}

}  // namespace

PortResult StartWinsock()
{
    static const int started = [] {
        WSADATA data = {};
        return WSAStartup(MAKEWORD(2, 2), &data);
    }();
    if (started != 0)  // WSAStartup gives its error as its result
        return Failed(LinkResult::OpenFailed, PortOperation::Open, started);
    return PortSucceeded(PortOperation::Open);
}

PortResult ConnectBefore(SOCKET socket, const sockaddr* address, int length, SocketClock::time_point deadline)
{
    u_long nonBlocking = 1;
    ioctlsocket(socket, FIONBIO, &nonBlocking);
    if (connect(socket, address, length) == 0)
        return PortSucceeded(PortOperation::Open);
    const int error = WSAGetLastError();
    if (error != WSAEWOULDBLOCK && error != WSAEINPROGRESS)  // connect: refused at once, unreachable
        return Failed(LinkResult::OpenFailed, PortOperation::Open, error);
    if (!WaitFor(socket, true, deadline))
        return Failed(LinkResult::OpenFailed, PortOperation::Open, WSAETIMEDOUT);
    int result = 0;
    int size = sizeof result;
    if (getsockopt(socket, SOL_SOCKET, SO_ERROR, reinterpret_cast<char*>(&result), &size) != 0)
        result = WSAGetLastError();
    if (result != 0)  // the connection was refused or could not be made
        return Failed(LinkResult::OpenFailed, PortOperation::Open, result);
    return PortSucceeded(PortOperation::Open);
}

Win32SocketPort::Win32SocketPort(SocketConnector connect) : m_connect(std::move(connect)), m_readByteWait(ReadByteWait)
{}

PortResult Win32SocketPort::Open(const std::string& /*path*/)
{
    Close();
    UniqueSocket connected;
    const PortResult result = m_connect(connected, SocketClock::now() + ConnectWait);
    if (result.Ok())
        m_socket = std::move(connected);
    return result;
}

void Win32SocketPort::Close()
{
    m_socket.Reset();
    m_readAheadNext = m_readAheadEnd = 0;
}

// Sends until every byte is gone or the write's wait is over; a connection
// that stays full reports a short count, as a COM port does.
PortResult Win32SocketPort::Write(const void* data, std::size_t length)
{
    if (!IsOpen())
        return Failed(LinkResult::WriteFailed, PortOperation::Write, 0);
    const std::size_t request = std::min(length, MaxSendLength);
    const auto deadline =
        SocketClock::now() + WriteWaitConstant + WriteWaitPerByte * static_cast<Milliseconds::rep>(request);
    const char* bytes = static_cast<const char*>(data);
    std::size_t sent = 0;
    while (sent < request) {
        const int count = send(m_socket.Get(), bytes + sent, static_cast<int>(request - sent), 0);
        if (count > 0) {
            sent += static_cast<std::size_t>(count);
            continue;
        }
        const int error = WSAGetLastError();
        if (count == SOCKET_ERROR && error != WSAEWOULDBLOCK)  // send: the connection failed
            return Failed(LinkResult::WriteFailed, PortOperation::Write, error);
        if (!WaitFor(m_socket.Get(), true, deadline))
            break;
    }
    return PortSucceeded(PortOperation::Write, sent);
}

PortResult Win32SocketPort::ReadByte(char& byte)
{
    if (!IsOpen())
        return Failed(LinkResult::Timeout, PortOperation::Read, 0);
    if (m_readAheadNext < m_readAheadEnd) {
        byte = m_readAhead[m_readAheadNext++];
        return PortSucceeded(PortOperation::Read, 1);
    }
    const auto deadline = SocketClock::now() + m_readByteWait;
    for (;;) {
        const int count = recv(m_socket.Get(), m_readAhead, static_cast<int>(sizeof m_readAhead), 0);
        if (count > 0) {
            m_readAheadNext = 1;
            m_readAheadEnd = static_cast<std::size_t>(count);
            byte = m_readAhead[0];
            return PortSucceeded(PortOperation::Read, 1);
        }
        if (count == 0)  // the far side closed the connection, as a hang-up
            return PortFailed(LinkResult::Timeout, PortOperation::Read, 0, ClosedByFarSide);
        const int error = WSAGetLastError();
        if (error != WSAEWOULDBLOCK)  // recv: the connection failed (reset)
            return Failed(LinkResult::Timeout, PortOperation::Read, error);
        if (!WaitFor(m_socket.Get(), false, deadline))
            return Failed(LinkResult::Timeout, PortOperation::Read, 0);  // time-out
    }
}

PortResult Win32SocketPort::SetReadTimeout(unsigned milliseconds)
{
    m_readByteWait = Milliseconds(milliseconds);
    return PortSucceeded(PortOperation::SetReadTimeout, 0);
}

std::unique_ptr<SerialPort> CreateSocketSerialPort(const std::string& host, unsigned short port)
{
    return std::make_unique<Win32SocketPort>([host, port](UniqueSocket& socket, SocketClock::time_point deadline) {
        return ConnectTcp(host, port, socket, deadline);
    });
}
