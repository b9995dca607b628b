// scan: the ports of this machine, and with --probe which of them answer.
#include "Commands.h"

#include "network/AddressLookup.h"
#include "common/CliTexts.h"
#include "steps/ConfigureSteps.h"
#include "DeviceLink.h"
#include "system/EachAtOnce.h"
#include "output/OutputFormat.h"
#include "ports/ProbeDeadlinePort.h"
#include "bench/ProvisionPlan.h"

#include <map>

namespace {

void Probe(const PortAddress& address, std::unique_ptr<SerialPort> port, ScanEntry& entry)
{
    entry.probed = true;
    DeviceLink link(std::make_unique<ProbeDeadlinePort>(std::move(port), std::chrono::milliseconds(ProbeReadTimeoutMs),
                                                        std::chrono::milliseconds(ProbeDeadlineMs)));
    ReadDevice(entry.port, address, link, entry.info, entry.result, &entry.reason);
}

// Each probe has its own port and its own entry. Two names of one port (the
// same name twice, a link and its target, one server port spelt two ways)
// are one port, as in a plan: it is probed once, under its first name, and
// every name gets that result. Two probes of one port at once would find
// each other holding it. Network addresses are looked up first, within the
// probe's wait, to tell which of them are one.
void ProbeAll(std::vector<PortAddress>& addresses, CommandContext& context, std::vector<ScanEntry>& entries)
{
    std::vector<PortAddress*> lookups;
    for (PortAddress& address : addresses)
        lookups.push_back(&address);
    LookUpAddresses(lookups, DeadlineAfter(std::chrono::milliseconds(ProbeReadTimeoutMs)));
    std::map<std::string, std::size_t> firstOf;  // a port's identity, and its first entry
    std::vector<std::size_t> answeredBy(addresses.size());
    std::vector<std::size_t> probes;
    for (std::size_t i = 0; i < addresses.size(); ++i) {
        answeredBy[i] = i;
        for (const std::string& identity : PortIdentities(addresses[i], context.identifyPort)) {
            const auto found =
                firstOf.emplace(identity.empty() ? "path " + addresses[i].target : "port " + identity, i);
            if (!found.second && answeredBy[i] == i)
                answeredBy[i] = found.first->second;
        }
        if (answeredBy[i] == i)
            probes.push_back(i);
    }
    RunEachAtOnce(probes.size(), [&](std::size_t j) {
        const PortAddress& address = addresses[probes[j]];
        Probe(address, context.makePort(address), entries[probes[j]]);
    });
    for (std::size_t i = 0; i < entries.size(); ++i) {
        const ScanEntry& answer = entries[answeredBy[i]];
        entries[i].probed = answer.probed;
        entries[i].result = answer.result;
        entries[i].info = answer.info;
        entries[i].reason = answer.reason;
    }
}

// What an address says of itself: the system knows nothing more of a
// server on the network or of a device it reaches straight.
void DescribeAddress(const PortAddress& address, PortDetails& details)
{
    if (IsNetworkAddress(address))
        details = PortDetails{PortKind::Network, "", "", ""};
    else if (address.kind == AddressKind::Bluetooth)
        details = PortDetails{PortKind::Bluetooth, address.bluetooth, "", ""};
}

bool AnyDevice(const std::vector<ScanEntry>& entries)
{
    for (const ScanEntry& entry : entries) {
        if (entry.result == LinkResult::Ok)
            return true;
    }
    return false;
}

// The ports named on the command line, or else the ones the system lists.
// Named ports are checked before any is probed.
bool CollectPorts(const CliOptions& options, CommandContext& context, std::vector<std::string>& names,
                  std::vector<PortAddress>& addresses, ExitCode& failure)
{
    if (options.ports.empty() && !context.listPorts(names)) {
        context.err << "Cannot list the serial ports of this machine.\n";
        failure = ExitCode::Failure;
        return false;
    }
    if (!options.ports.empty())
        names = options.ports;
    for (const std::string& name : names) {
        const ResolvedPort port = ResolvePortName(name, context.portStyle);
        if (!port.ok) {
            context.err << port.error << '\n';
            failure = ExitCode::Usage;
            return false;
        }
        addresses.push_back(port.address);
    }
    return true;
}

}  // namespace

ExitCode RunScan(const CliOptions& options, CommandContext& context)
{
    std::vector<std::string> names;
    std::vector<PortAddress> addresses;
    ExitCode failure = ExitCode::Failure;
    if (!CollectPorts(options, context, names, addresses, failure))
        return failure;

    std::vector<ScanEntry> entries(names.size());
    for (std::size_t i = 0; i < names.size(); ++i)
        entries[i].port = names[i];
    if (options.probe)
        ProbeAll(addresses, context, entries);
    const std::vector<PortDetails> details = context.describePorts(names);
    for (std::size_t i = 0; i < entries.size() && i < details.size(); ++i)
        entries[i].details = details[i];
    for (std::size_t i = 0; i < entries.size(); ++i)
        DescribeAddress(addresses[i], entries[i].details);
    context.out << (options.json ? FormatScanJson(entries) : FormatScanText(entries, context.alignColumns));
    if (options.probe && !AnyDevice(entries)) {
        context.err << CliText::NoDeviceFound << '\n';
        return ExitCode::NoDeviceFound;
    }
    return ExitCode::Success;
}
