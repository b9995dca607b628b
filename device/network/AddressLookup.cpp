#include "AddressLookup.h"

#include "HostLookup.h"

#include <algorithm>
#include <atomic>
#include <map>
#include <system_error>
#include <thread>

namespace {

constexpr std::size_t MaxLookupsAtOnce = 64;

struct HostLookup {
    PortResult result;
    std::vector<std::string> addresses;
};

}  // namespace

// Each lookup ends by the deadline, so joining their threads does too. At
// most MaxLookupsAtOnce threads take the hosts in turn, and this one takes
// its share: a plan of thousands of host names, or a system that starts no
// more threads, is looked up all the same, each failure the host's own.
void LookUpAddresses(const std::vector<PortAddress*>& addresses, Deadline deadline)
{
    std::map<std::string, HostLookup> hosts;
    for (const PortAddress* address : addresses) {
        if (IsNetworkAddress(*address))
            hosts[address->host];
    }
    std::vector<std::pair<const std::string, HostLookup>*> todo;
    for (auto& host : hosts)
        todo.push_back(&host);
    std::atomic<std::size_t> next{0};
    const auto lookUp = [&todo, &next, deadline] {
        for (std::size_t at; (at = next++) < todo.size();)
            todo[at]->second.result = LookUpHost(todo[at]->first, deadline, todo[at]->second.addresses);
    };
    std::vector<std::thread> workers;
    for (std::size_t i = 1; i < std::min(MaxLookupsAtOnce, todo.size()); ++i) {
        try {
            workers.emplace_back(lookUp);
        } catch (const std::system_error&) {
            break;  // those started, and this one, take the rest
        }
    }
    lookUp();
    for (std::thread& worker : workers)
        worker.join();
    for (PortAddress* address : addresses) {
        if (!IsNetworkAddress(*address))
            continue;
        const HostLookup& found = hosts[address->host];
        address->lookedUp = true;
        address->lookup = found.result;
        address->addresses = found.addresses;
    }
}

std::vector<std::string> EndpointsOf(const PortAddress& address)
{
    if (!IsNetworkAddress(address) || !address.lookedUp || address.addresses.empty())
        return {address.label};
    // A plain and a TLS address of one server port do not share a port: one
    // of them fails, and says so itself.
    const std::string kind =
        std::string(address.kind == AddressKind::Socket ? "socket" : "rfc2217") + (address.tls ? "+tls " : " ");
    std::vector<std::string> endpoints;
    for (const std::string& numeric : address.addresses)
        endpoints.push_back(kind + numeric + " " + std::to_string(address.tcpPort));
    return endpoints;
}

PortResult AddressesToTry(const PortAddress& address, Deadline deadline, std::vector<std::string>& found)
{
    if (!address.lookedUp)
        return LookUpHost(address.host, deadline, found);
    found = address.addresses;
    return address.lookup;
}
