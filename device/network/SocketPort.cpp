// The socket steps both systems share: the lookup, the connection through
// the addresses in turn, and the serial port over a connected socket.
#include "SocketPort.h"

#include "AddressLookup.h"
#include "CallBefore.h"
#include "HostLookup.h"

#include <string>
#include <vector>

namespace {

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

// Connects to the one numeric `address` before `deadline`.
PortResult ConnectTo(const std::string& address, unsigned short port, Deadline deadline, OwnedSocket& socket)
{
    addrinfo hints = {};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    hints.ai_protocol = IPPROTO_TCP;
    hints.ai_flags = AI_NUMERICHOST | AI_NUMERICSERV;
    addrinfo* found = nullptr;
    const int error = getaddrinfo(address.c_str(), std::to_string(port).c_str(), &hints, &found);
    if (error != 0)  // not numeric after all: LookUpHost gives numeric forms only
        return LookupFailure(error);
    OwnedSocket candidate = OpenStreamSocket(found->ai_family, found->ai_socktype, found->ai_protocol);
    const PortResult result =
        candidate.IsValid()
            ? ConnectBefore(candidate.Get(), found->ai_addr, static_cast<socklen_t>(found->ai_addrlen), deadline)
            : SocketFailure(LinkResult::OpenFailed, PortOperation::Open, LastSocketError());
    freeaddrinfo(found);
    if (result.Ok()) {
        // Small writes go out at once: a query is 13 bytes. What the
        // server sends is acknowledged at once too.
        const int on = 1;
        setsockopt(candidate.Get(), IPPROTO_TCP, TCP_NODELAY, reinterpret_cast<const char*>(&on), sizeof on);
        AcknowledgePromptly(candidate.Get());
        socket = std::move(candidate);
    }
    return result;
}

}  // namespace

PortResult LookUpHost(const std::string& host, Deadline deadline, std::vector<std::string>& addresses)
{
    const PortResult started = StartSockets();
    if (!started.Ok())
        return started;
    Lookup lookup;
    std::string whyNot;
    const CallEnd end = CallBefore<Lookup>(
        deadline, [host] { return LookUpNow(host); }, lookup, whyNot);
    if (end != CallEnd::Returned)
        return PortFailed(LinkResult::OpenFailed, PortOperation::Open, 0,
                          end == CallEnd::NotStarted ? whyNot : NoLookupAnswer);
    if (lookup.error != 0)  // getaddrinfo: no such name, or no resolver
        return LookupFailure(lookup.error);
    addresses = std::move(lookup.addresses);
    return PortSucceeded(PortOperation::Open);
}

PortResult ConnectToServer(const PortAddress& address, Deadline deadline, OwnedSocket& socket)
{
    std::vector<std::string> addresses;
    const PortResult lookup = AddressesToTry(address, deadline, addresses);
    if (!lookup.Ok())
        return lookup;
    PortResult result = PortFailed(LinkResult::OpenFailed, PortOperation::Open);
    for (std::size_t i = 0; i < addresses.size() && !result.Ok(); ++i) {
        // Each address gets its share of the time left: one that never
        // answers leaves the others theirs.
        result = ConnectTo(addresses[i], address.tcpPort, FirstShare(deadline, addresses.size() - i), socket);
    }
    return result;
}

std::unique_ptr<SerialPort> CreateSocketPort(SocketConnector connect)
{
    return std::make_unique<StreamPort>([connect](std::unique_ptr<Stream>& stream, Deadline deadline) {
        OwnedSocket socket;
        const PortResult result = connect(socket, deadline);
        if (result.Ok())
            stream = SocketStream(std::move(socket));
        return result;
    });
}
