// query and configure: one port, one device.
#include "Commands.h"

#include "ConfigureChecks.h"
#include "DeviceLink.h"
#include "LinkOutcome.h"
#include "OutputFormat.h"
#include "PortReason.h"
#include "UserMessages.h"

namespace {

ExitCode Report(CommandContext& context, const Outcome& outcome)
{
    if (!outcome.message.empty())
        context.err << outcome.message << '\n';
    return outcome.code;
}

// A failure of the link is reported with the window's text and, after it,
// the system's reason for the port's step that failed.
ExitCode ReportLink(CommandContext& context, Outcome outcome, const std::string& port, const DeviceLink& link)
{
    if (outcome.code != ExitCode::Success && !outcome.message.empty())
        outcome.message += PortReason(port, link.LastPortResult());
    return Report(context, outcome);
}

// Names the port, opens it and reads the device: the same steps as choosing
// a port in the window. Success only for a device that answered correctly
// with firmware this program knows; otherwise what went wrong is reported.
ExitCode OpenAndReadDevice(const CliOptions& options, CommandContext& context, DeviceLink& link, DeviceInfo& info)
{
    const ResolvedPort port = ResolvePortName(options.port, context.portStyle);
    if (!port.ok) {
        context.err << port.error << '\n';
        return ExitCode::Usage;
    }
    LinkResult result = link.Open(port.path);
    if (result == LinkResult::Ok)
        result = link.Query(info);
    return ReportLink(context, ReadOutcome(result, info), options.port, link);
}

}  // namespace

ExitCode RunQuery(const CliOptions& options, CommandContext& context)
{
    DeviceLink link(context.makePort());
    DeviceInfo info;
    const ExitCode read = OpenAndReadDevice(options, context, link, info);
    if (read != ExitCode::Success)
        return read;

    context.out << (options.json ? FormatQueryJson(info) : FormatQueryText(info));
    return ExitCode::Success;
}

// Nothing is written to a device that was not read correctly first, nor
// after a refused check: a script must never configure what it did not see.
ExitCode RunConfigure(const CliOptions& options, CommandContext& context)
{
    DeviceLink link(context.makePort());
    DeviceInfo info;
    const ExitCode read = OpenAndReadDevice(options, context, link, info);
    if (read != ExitCode::Success)
        return read;

    // Without --pin the device's own PIN is sent back, as with the window's
    // two blank PIN fields.
    const std::string pin = options.hasPin ? options.pin : std::string(info.pin);
    const Outcome checked = CheckNewConfiguration(info.name, pin);
    if (checked.code != ExitCode::Success)
        return Report(context, checked);

    const Outcome written = ConfigureOutcome(link.Configure(options.auth, pin));
    if (written.code != ExitCode::Success)
        return ReportLink(context, written, options.port, link);
    context.out << UserMessages::Configured << '\n';
    return ExitCode::Success;
}
