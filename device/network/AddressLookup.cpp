#include "AddressLookup.h"

#include "HostLookup.h"

#include <map>
#include <thread>

namespace {

struct HostLookup {
    PortResult result;
    std::vector<std::string> addresses;
};

}  // namespace

// Each lookup ends by the deadline, so joining their threads does too.
void LookUpAddresses(const std::vector<PortAddress*>& addresses, Deadline deadline)
{
    std::map<std::string, HostLookup> hosts;
    for (const PortAddress* address : addresses) {
        if (IsNetworkAddress(*address))
            hosts[address->host];
    }
    std::vector<std::thread> lookups;
    for (auto& host : hosts) {
        lookups.emplace_back(
            [&host, deadline] { host.second.result = LookUpHost(host.first, deadline, host.second.addresses); });
    }
    for (std::thread& lookup : lookups)
        lookup.join();
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
