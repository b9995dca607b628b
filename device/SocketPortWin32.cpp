// TCP for socket:// and rfc2217:// through Winsock, and the socket stream
// that Bluetooth RFCOMM shares.
#include "SocketPortWin32.h"

#include "AddressLookup.h"
#include "CallBefore.h"
#include "HostLookup.h"
#include "NetworkPorts.h"
#include "PlainStream.h"
#include "TlsStreamWin32.h"
#include "Win32Errors.h"

#include <winsock2.h>
#include <ws2tcpip.h>

#include <algorithm>
#include <climits>
#include <string>
#include <vector>

namespace {

PortResult Failed(LinkResult outcome, PortOperation operation, int error)
{
    return SocketFailure(outcome, operation, error);
}

// Waits until `socket` can be read (or written) or `deadline` passes. Only
// readable data makes a read ready: urgent data is not the device's. A
// pending connection reports its failure in the exception set, so a wait to
// write asks that too; the next call then tells why. A failed select is a
// failure, never "ready".
StreamWait WaitFor(SOCKET socket, bool forWriting, Deadline deadline, long& error)
{
    const auto left = TimeLeft(deadline, std::chrono::hours(24)).count();
    timeval wait = {};
    wait.tv_sec = static_cast<long>(left / 1000);
    wait.tv_usec = static_cast<long>((left % 1000) * 1000);
    fd_set ready;
    FD_ZERO(&ready);
    FD_SET(socket, &ready);
    fd_set failed;
    FD_ZERO(&failed);
    FD_SET(socket, &failed);
    const int count =
        select(0, forWriting ? nullptr : &ready, forWriting ? &ready : nullptr, forWriting ? &failed : nullptr, &wait);
    if (count == SOCKET_ERROR) {
        error = WSAGetLastError();
        return StreamWait::Failed;
    }
    return count > 0 ? StreamWait::Ready : StreamWait::TimedOut;
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

    StreamWait Wait(bool forWriting, Deadline deadline, long& error) override
    {
        return WaitFor(m_socket.Get(), forWriting, deadline, error);
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
    hints.ai_protocol = IPPROTO_TCP;
    addrinfo* found = nullptr;
    lookup.error = getaddrinfo(host.c_str(), nullptr, &hints, &found);
    for (const addrinfo* entry = lookup.error == 0 ? found : nullptr; entry != nullptr; entry = entry->ai_next) {
        char numeric[NI_MAXHOST] = {};
        if (getnameinfo(entry->ai_addr, static_cast<socklen_t>(entry->ai_addrlen), numeric, sizeof numeric, nullptr, 0,
                        NI_NUMERICHOST) == 0)
            lookup.addresses.push_back(numeric);
    }
    if (found != nullptr)
        freeaddrinfo(found);
    return lookup;
}

// Connects to the first of `addresses` (numeric) that answers; the reason of
// the last one that did not, when none did.
PortResult ConnectTcp(const std::vector<std::string>& addresses, unsigned short port, UniqueSocket& socket,
                      Deadline deadline)
{
    addrinfo hints = {};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    hints.ai_protocol = IPPROTO_TCP;
    hints.ai_flags = AI_NUMERICHOST | AI_NUMERICSERV;
    PortResult result = PortFailed(LinkResult::OpenFailed, PortOperation::Open);
    for (std::size_t i = 0; i < addresses.size(); ++i) {
        addrinfo* found = nullptr;
        const int error = getaddrinfo(addresses[i].c_str(), std::to_string(port).c_str(), &hints, &found);
        if (error != 0) {  // not numeric after all: LookUpHost gives numeric forms only
            result = Failed(LinkResult::OpenFailed, PortOperation::Open, error);
            continue;
        }
        // Each address gets its share of the time left: one that never
        // answers leaves the others theirs.
        const Deadline share = FirstShare(deadline, addresses.size() - i);
        UniqueSocket candidate(::socket(found->ai_family, found->ai_socktype, found->ai_protocol));
        if (candidate.IsValid())
            result = ConnectBefore(candidate.Get(), found->ai_addr, static_cast<int>(found->ai_addrlen), share);
        else
            result = Failed(LinkResult::OpenFailed, PortOperation::Open, WSAGetLastError());
        freeaddrinfo(found);
        if (result.Ok()) {
            // Small writes go out at once: a query is 13 bytes.
            const BOOL on = TRUE;
            setsockopt(candidate.Get(), IPPROTO_TCP, TCP_NODELAY, reinterpret_cast<const char*>(&on), sizeof on);
            socket = std::move(candidate);
            break;
        }
    }
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

PortResult LookUpHost(const std::string& host, Deadline deadline, std::vector<std::string>& addresses)
{
    const PortResult started = StartWinsock();
    if (!started.Ok())
        return started;
    Lookup lookup;
    if (!CallBefore<Lookup>(
            deadline, [host] { return LookUpNow(host); }, lookup))
        return PortFailed(LinkResult::OpenFailed, PortOperation::Open, 0, NoLookupAnswer);
    if (lookup.error != 0)  // getaddrinfo: no such name, or no resolver
        return Failed(LinkResult::OpenFailed, PortOperation::Open, lookup.error);
    addresses = std::move(lookup.addresses);
    return PortSucceeded(PortOperation::Open);
}

PortResult ConnectBefore(SOCKET socket, const sockaddr* address, int length, Deadline deadline)
{
    u_long nonBlocking = 1;
    ioctlsocket(socket, FIONBIO, &nonBlocking);
    if (connect(socket, address, length) == 0)
        return PortSucceeded(PortOperation::Open);
    const int error = WSAGetLastError();
    if (error != WSAEWOULDBLOCK && error != WSAEINPROGRESS)  // connect: refused at once, unreachable
        return Failed(LinkResult::OpenFailed, PortOperation::Open, error);
    long waitError = 0;
    const StreamWait wait = WaitFor(socket, true, deadline, waitError);
    if (wait == StreamWait::Failed)
        return Failed(LinkResult::OpenFailed, PortOperation::Open, static_cast<int>(waitError));
    if (wait == StreamWait::TimedOut)
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
    return std::make_unique<StreamPort>([connect](std::unique_ptr<Stream>& stream, Deadline deadline) {
        UniqueSocket socket;
        const PortResult result = connect(socket, deadline);
        if (result.Ok())
            stream = std::make_unique<Win32SocketStream>(std::move(socket));
        return result;
    });
}

// TLS, for a "+tls" address, starts on the connected socket within the same
// set-up deadline (Schannel).
std::unique_ptr<SerialPort> CreateSocketSerialPort(const PortAddress& address, std::chrono::milliseconds greetingWait)
{
    return std::make_unique<StreamPort>(
        [address](std::unique_ptr<Stream>& stream, Deadline deadline) {
            std::vector<std::string> found;
            const PortResult lookup = AddressesToTry(address, deadline, found);
            if (!lookup.Ok())
                return lookup;
            UniqueSocket socket;
            const PortResult connected = ConnectTcp(found, address.tcpPort, socket, deadline);
            if (!connected.Ok())
                return connected;
            auto transport = std::make_unique<Win32SocketStream>(std::move(socket));
            if (address.tls)
                return StartTls(std::move(transport), address.host, address.tlsSettings, deadline, stream);
            stream = PlainStream(std::move(transport));
            return connected;
        },
        greetingWait);
}
