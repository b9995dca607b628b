// query and configure: one port, one device.
#include "Commands.h"

#include "common/CliTexts.h"
#include "steps/ConfigureChecks.h"
#include "steps/ConfigureSteps.h"
#include "DeviceLink.h"
#include "common/MessageLines.h"
#include "output/OutputFormat.h"
#include "PinFile.h"
#include "system/PinPrompt.h"
#include "bench/ProvisionReport.h"
#include "bench/RandomPin.h"
#include "ports/RecordedPort.h"
#include "bench/RunRecord.h"
#include "UserMessages.h"

namespace {

ExitCode Report(CommandContext& context, const Outcome& outcome)
{
    if (!outcome.message.empty())
        context.err << outcome.message << '\n';
    return outcome.code;
}

// A read that failed: its message, then what the user can do about it.
ExitCode ReportReadFailure(CommandContext& context, const ReadFailure& failure, const Outcome& outcome)
{
    const ExitCode code = Report(context, context.explainReadFailure(failure, outcome));
    for (const std::string& hint : context.readFailureHints(failure))
        context.err << HintPrefix << hint << '\n';
    return code;
}

// The port's address, or false after saying why the name is refused.
bool ResolvePort(const std::string& name, CommandContext& context, PortAddress& address)
{
    const ResolvedPort port = ResolvePortName(name, context.portStyle);
    if (!port.ok)
        context.err << port.error << '\n';
    address = port.address;
    return port.ok;
}

// With --record the device's entries frame the write (ConfigureAndRecord).
// The result is a provision row's, so that --json prints the same keys.
ProvisionRowResult ConfigureRecorded(const ConfigureRequest& request, const CliOptions& options,
                                     CommandContext& context, RunRecord* record)
{
    RecordRow row;
    if (record != nullptr) {
        row.port = request.port;
        row.bluetooth = BluetoothAddressOf(request.port, request.address, context.describePorts);
        row.authAsked = request.auth;
        row.pinAsked = PinAsked(options.randomPinDigits, request.hasPin, request.pin);
    }
    ProvisionRowResult result;
    result.port = request.port;
    result.requestedAuth = request.auth;
    ConfigureAndRecord(request, context.makePort(request.address), record, row, result);
    return result;
}

}  // namespace

ExitCode RunQuery(const CliOptions& options, CommandContext& context)
{
    PortAddress address;
    if (!ResolvePort(options.port, context, address))
        return ExitCode::Usage;
    DeviceLink link(context.makePort(address));
    DeviceInfo info;
    LinkResult result = LinkResult::Ok;
    const Outcome read = ReadDevice(options.port, address, link, info, result);
    if (read.code != ExitCode::Success)
        return ReportReadFailure(context, {options.port, address, result}, read);

    context.out << (options.json ? FormatQueryJson(info) : FormatQueryText(info));
    return ExitCode::Success;
}

// The command line, and the PIN with it, are checked before any port is
// opened; what the device sent is checked after the read (ConfigureDevice).
ExitCode RunConfigure(const CliOptions& options, CommandContext& context)
{
    ConfigureRequest request;
    request.port = options.port;
    request.auth = options.auth;
    request.hasPin = options.hasPin || !options.pinFile.empty() || options.pinPrompt;
    request.pin = options.pin;
    request.verify = options.verify;
    request.verifyWaitMs = options.verifyWaitMs;
    std::string error;
    if (!options.pinFile.empty() && !ReadPinFile(options.pinFile, *context.in, request.pin, error)) {
        context.err << error << '\n';
        return ExitCode::Usage;
    }
    if (options.pinPrompt && !PromptNewPin(request.pin, error)) {
        context.err << error << '\n';
        return ExitCode::Usage;
    }
    if (request.hasPin) {
        const Outcome pin = CheckRequestedPin(request.pin);
        if (pin.code != ExitCode::Success)
            return Report(context, pin);
    }
    if (!ResolvePort(options.port, context, request.address))
        return ExitCode::Usage;
    RunRecord record;
    if (!options.record.empty() &&
        !record.Open(options.record, "configure", "", "", context.random, context.err, error)) {
        context.err << error << '\n';
        return ExitCode::Failure;
    }
    // A random PIN is drawn once the device was read, to differ from its own.
    PinDrawer pins(context.random);
    std::string drawn;
    if (options.randomPinDigits > 0) {
        request.choosePin = [&](const DeviceInfo& before, std::string& pin) {
            const Outcome outcome = pins.Draw(options.randomPinDigits, before.pin, pin);
            drawn = pin;
            return outcome;
        };
    }
    ProvisionRowResult result =
        ConfigureRecorded(request, options, context, options.record.empty() ? nullptr : &record);
    const ConfigureReport& report = result.report;
    // A PIN whose command was sent may be on the device, even when the write
    // failed: it is told then too, as nothing else would tell it.
    if (report.writeTried)
        result.pinDrawn = drawn;
    if (options.json) {
        context.out << FormatProvisionLine(result, true);
    } else {
        if (!result.pinDrawn.empty())
            context.out << "pin: " << drawn << '\n';
        if (report.written)
            context.out << UserMessages::Configured << '\n';
        if (report.verified)
            context.out << CliText::Verified << '\n';
    }
    const ExitCode code =
        report.readResult != LinkResult::Ok
            ? ReportReadFailure(context, {options.port, request.address, report.readResult}, report.outcome)
            : Report(context, report.outcome);
    // Told whatever the outcome, as provision tells it: a record that lacks
    // an entry must not pass unnoticed. A failure keeps its own code.
    const std::string writeError = options.record.empty() ? "" : record.WriteError();
    if (writeError.empty())
        return code;
    context.err << "Cannot write the record " << EscapeForText(options.record) << ": " << writeError << ".\n";
    return code == ExitCode::Success ? ExitCode::Failure : code;
}
