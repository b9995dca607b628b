// TCP for socket:// and rfc2217:// through Winsock, and the socket stream
// that Bluetooth RFCOMM shares.
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

PortResult Failed(LinkResult outcome, PortOperation operation, int error)
{
    return SocketFailure(outcome, operation, error);
}

// Waits until `socket` can be read (or written) or `deadline` passes. False
// on the deadline; a failed connection counts as ready, and the next call
// tells why.
bool WaitFor(SOCKET socket, bool forWriting, StreamClock::time_point deadline)
{
    const auto left =
        std::max<Milliseconds::rep>(0, std::chrono::ceil<Milliseconds>(deadline - StreamClock::now()).count());
    timeval wait = {};
    wait.tv_sec = static_cast<long>(left / 1000);
    wait.tv_usec = static_cast<long>((left % 1000) * 1000);
    fd_set ready;
    FD_ZERO(&ready);
    FD_SET(socket, &ready);
    fd_set failed;
    FD_ZERO(&failed);
    FD_SET(socket, &failed);
    return select(0, forWriting ? nullptr : &ready, forWriting ? &ready : nullptr, &failed, &wait) != 0;
}

class Win32SocketStream : public Stream {
public:
    explicit Win32SocketStream(UniqueSocket socket) : m_socket(std::move(socket)) {}

    StreamResult Send(const char* data, std::size_t length) override
    {
        return Classify(send(m_socket.Get(), data, static_cast<int>(std::min<std::size_t>(length, INT_MAX)), 0));
    }

    StreamResult Receive(char* buffer, std::size_t size) override
    {
        const int count = recv(m_socket.Get(), buffer, static_cast<int>(std::min<std::size_t>(size, INT_MAX)), 0);
        return count == 0 ? StreamResult{StreamStatus::Closed, 0, 0} : Classify(count);
    }

    bool Wait(bool forWriting, StreamClock::time_point deadline) override
    {
        return WaitFor(m_socket.Get(), forWriting, deadline);
    }

    PortResult Failure(LinkResult outcome, PortOperation operation, long error) const override
    {
        return Failed(outcome, operation, static_cast<int>(error));
    }

private:
    static StreamResult Classify(int count)
    {
        if (count > 0)
            return {StreamStatus::Moved, static_cast<std::size_t>(count), 0};
        const int error = count == 0 ? WSAEWOULDBLOCK : WSAGetLastError();
        if (error == WSAEWOULDBLOCK)
            return {StreamStatus::Waiting, 0, 0};
        return {StreamStatus::Failed, 0, error};
    }

    UniqueSocket m_socket;
};

// Resolves `host` and connects to the first of its addresses that answers;
// the reason of the last one that did not, when none did.
PortResult ConnectTcp(const std::string& host, unsigned short port, UniqueSocket& socket,
                      StreamClock::time_point deadline)
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

// Some systems (Wine among them) have no words for some Winsock errors; the
// number then stands for them, so that a failure never comes without its reason.
PortResult SocketFailure(LinkResult outcome, PortOperation operation, int error)
{
    PortResult result = Win32Failure(outcome, operation, static_cast<unsigned long>(error));
    if (error != 0 && result.systemText.empty())
        result.systemText = "Winsock error " + std::to_string(error);
    return result;
}

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

PortResult ConnectBefore(SOCKET socket, const sockaddr* address, int length, StreamClock::time_point deadline)
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

std::unique_ptr<SerialPort> CreateWin32SocketPort(SocketConnector connect)
{
    return std::make_unique<StreamPort>([connect](std::unique_ptr<Stream>& stream, StreamClock::time_point deadline) {
        UniqueSocket socket;
        const PortResult result = connect(socket, deadline);
        if (result.Ok())
            stream = std::make_unique<Win32SocketStream>(std::move(socket));
        return result;
    });
}

std::unique_ptr<SerialPort> CreateSocketSerialPort(const std::string& host, unsigned short port)
{
    return CreateWin32SocketPort([host, port](UniqueSocket& socket, StreamClock::time_point deadline) {
        return ConnectTcp(host, port, socket, deadline);
    });
}
