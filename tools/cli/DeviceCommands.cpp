// query and configure: one port, one device.
#include "Commands.h"

#include "ConfigureChecks.h"
#include "DeviceLink.h"
#include "LinkOutcome.h"
#include "OutputFormat.h"
#include "UserMessages.h"

namespace {

ExitCode Report(CommandContext& context, const Outcome& outcome)
{
    if (!outcome.message.empty())
        context.err << outcome.message << '\n';
    return outcome.code;
}

// Opens the port and reads the device: the same two steps as choosing a
// port in the window. Ok only for a device that answered correctly with
// firmware this program knows.
LinkResult ReadDevice(DeviceLink& link, const std::string& path, DeviceInfo& info)
{
    const LinkResult opened = link.Open(path);
    if (opened != LinkResult::Ok)
        return opened;
    return link.Query(info);
}

bool ResolveOrReport(const CliOptions& options, CommandContext& context, ResolvedPort& port)
{
    port = ResolvePortName(options.port, context.portStyle);
    if (!port.ok)
        context.err << port.error << '\n';
    return port.ok;
}

}  // namespace

ExitCode RunQuery(const CliOptions& options, CommandContext& context)
{
    ResolvedPort port;
    if (!ResolveOrReport(options, context, port))
        return ExitCode::Usage;

    DeviceLink link(context.makePort());
    DeviceInfo info;
    const LinkResult result = ReadDevice(link, port.path, info);
    if (result != LinkResult::Ok)
        return Report(context, ReadOutcome(result, info));

    context.out << (options.json ? FormatQueryJson(info) : FormatQueryText(info));
    return ExitCode::Success;
}

// Nothing is written to a device that was not read correctly first, nor
// after a refused check: a script must never configure what it did not see.
ExitCode RunConfigure(const CliOptions& options, CommandContext& context)
{
    ResolvedPort port;
    if (!ResolveOrReport(options, context, port))
        return ExitCode::Usage;

    DeviceLink link(context.makePort());
    DeviceInfo info;
    const LinkResult read = ReadDevice(link, port.path, info);
    if (read != LinkResult::Ok)
        return Report(context, ReadOutcome(read, info));

    // Without --pin the device's own PIN is sent back, as with the window's
    // two blank PIN fields.
    const std::string pin = options.hasPin ? options.pin : std::string(info.pin);
    const Outcome checked = CheckNewConfiguration(info.name, pin);
    if (checked.code != ExitCode::Success)
        return Report(context, checked);

    const Outcome written = ConfigureOutcome(link.Configure(options.auth, pin));
    if (written.code != ExitCode::Success)
        return Report(context, written);
    context.out << UserMessages::Configured << '\n';
    return ExitCode::Success;
}
