// scan: the ports of this machine, and with --probe which of them answer.
#include "Commands.h"

#include "CliTexts.h"
#include "DeviceLink.h"
#include "OutputFormat.h"

namespace {

ScanEntry Probe(const std::string& name, const std::string& path, CommandContext& context)
{
    ScanEntry entry;
    entry.port = name;
    entry.probed = true;
    std::unique_ptr<SerialPort> port = context.makePort();
    port->SetReadTimeout(ProbeReadTimeoutMs);
    DeviceLink link(std::move(port));
    entry.result = link.Open(path);
    if (entry.result == LinkResult::Ok)
        entry.result = link.Query(entry.info);
    return entry;
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
bool CollectPorts(const CliOptions& options, CommandContext& context,
                  std::vector<std::string>& names, std::vector<std::string>& paths, ExitCode& failure)
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
        paths.push_back(port.path);
    }
    return true;
}

}  // namespace

ExitCode RunScan(const CliOptions& options, CommandContext& context)
{
    std::vector<std::string> names;
    std::vector<std::string> paths;
    ExitCode failure = ExitCode::Failure;
    if (!CollectPorts(options, context, names, paths, failure))
        return failure;

    std::vector<ScanEntry> entries;
    for (std::size_t i = 0; i < names.size(); ++i) {
        if (options.probe) {
            entries.push_back(Probe(names[i], paths[i], context));
        } else {
            ScanEntry entry;
            entry.port = names[i];
            entries.push_back(entry);
        }
    }
    context.out << (options.json ? FormatScanJson(entries) : FormatScanText(entries));
    if (options.probe && !AnyDevice(entries)) {
        context.err << CliText::NoDeviceFound << '\n';
        return ExitCode::NoDeviceFound;
    }
    return ExitCode::Success;
}
