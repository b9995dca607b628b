// scan: the ports of this machine, and with --probe which of them answer.
#include "Commands.h"

#include "CliTexts.h"
#include "ConfigureSteps.h"
#include "DeviceLink.h"
#include "EachAtOnce.h"
#include "OutputFormat.h"

namespace {

void Probe(const PortAddress& address, std::unique_ptr<SerialPort> port, ScanEntry& entry)
{
    entry.probed = true;
    port->SetReadTimeout(ProbeReadTimeoutMs);
    DeviceLink link(std::move(port));
    ReadDevice(entry.port, address.target, link, entry.info, entry.result);
}

// Each probe has its own port and its own entry.
void ProbeAll(const std::vector<PortAddress>& addresses, CommandContext& context, std::vector<ScanEntry>& entries)
{
    RunEachAtOnce(addresses.size(),
                  [&](std::size_t i) { Probe(addresses[i], context.makePort(addresses[i]), entries[i]); });
}

// What an address says of itself: the system knows nothing more of a
// server on the network or of a device it reaches straight.
void DescribeAddress(const PortAddress& address, PortDetails& details)
{
    if (address.kind == AddressKind::Socket || address.kind == AddressKind::Rfc2217)
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
    context.out << (options.json ? FormatScanJson(entries) : FormatScanText(entries));
    if (options.probe && !AnyDevice(entries)) {
        context.err << CliText::NoDeviceFound << '\n';
        return ExitCode::NoDeviceFound;
    }
    return ExitCode::Success;
}
