#include "ConfigureSteps.h"

#include "common/CliTexts.h"
#include "ConfigureChecks.h"
#include "DeviceLink.h"
#include "output/OutputFormat.h"
#include "output/PortReason.h"

#include <chrono>
#include <thread>

namespace {

// The window's text, then the system's reason for the port's step that failed.
Outcome WithReason(Outcome outcome, const std::string& port, const DeviceLink& link)
{
    if (outcome.code != ExitCode::Success && !outcome.message.empty())
        outcome.message += PortReason(port, link.LastPortResult());
    return outcome;
}

// What the port received before a query or a write is never part of an
// answer: a line left from an earlier exchange, a server's banner, a late
// answer to an earlier client. It is taken (and transcribed) first; a far
// side that is gone by then ends the step with `failure`, before anything is
// written (the configure command: the window's outcome of a failed write).
LinkResult DiscardEarlierInput(DeviceLink& link, LinkResult failure)
{
    std::string earlier;
    return link.DiscardInput(earlier).Ok() ? LinkResult::Ok : failure;
}

// The device is read again once, after a pause, and never written again:
// some devices take new settings only after a reset, and writing once more
// would not change that.
void Verify(const ConfigureRequest& request, int auth, const std::string& pin, DeviceLink& link,
            ConfigureReport& report)
{
    std::this_thread::sleep_for(std::chrono::milliseconds(request.verifyWaitMs));
    report.verifying = true;
    LinkResult read = DiscardEarlierInput(link, LinkResult::Timeout);
    if (read == LinkResult::Ok)
        read = link.Query(report.after);
    report.readAgain = read == LinkResult::Ok;
    if (!report.readAgain) {
        report.outcome = OutcomeOf(CliRow(CliOutcome::NotVerified),
                                   WithReason(ReadOutcome(read, report.after), request.port, link).message);
        return;
    }
    report.verified = report.after.auth == auth && std::string(report.after.pin) == pin;
    if (report.verified)
        return;
    report.outcome = OutcomeOf(CliRow(CliOutcome::NotVerified),
                               std::string("The device reports authentication ") + AuthenticationText(report.after) +
                                   " and PIN " + EscapeForText(report.after.pin) + ". " + CliText::MayNeedReset);
}

}  // namespace

// A network or Bluetooth connection that the far side ends before the first
// answer (with words of its own, such as a serial server's "Device open
// failure", or without) could not open the port behind it. A local port that
// hangs up keeps the window's outcome.
Outcome ReadDevice(const std::string& port, const PortAddress& address, DeviceLink& link, DeviceInfo& info,
                   LinkResult& result, std::string* reason)
{
    std::string ignored;
    std::string& because = reason != nullptr ? *reason : ignored;
    because.clear();
    result = link.Open(address.target);
    if (result != LinkResult::Ok) {
        because = link.LastPortResult().systemText;
        return WithReason(ReadOutcome(result, info), port, link);
    }
    std::string earlier;
    PortResult step = link.DiscardInput(earlier);
    if (step.Ok()) {
        result = link.Query(info);
        step = link.LastPortResult();
    }
    const bool ended = step.fault == PortFault::Closed || step.fault == PortFault::Failed;
    const bool endedBeforeAnswer = address.kind != AddressKind::Serial && result != LinkResult::Ok && ended;
    if (step.operation != PortOperation::Discard && !endedBeforeAnswer) {
        because = result == LinkResult::Ok ? std::string() : link.LastPortResult().systemText;
        return WithReason(ReadOutcome(result, info), port, link);
    }
    result = LinkResult::OpenFailed;
    if (earlier.find_first_not_of("\r\n ") != std::string::npos)
        step.systemText = FarSideReason(earlier);
    because = step.systemText;
    Outcome outcome = ReadOutcome(result, info);
    outcome.message += PortReason(port, step);
    return outcome;
}

ConfigureReport ConfigureDevice(const ConfigureRequest& request, std::unique_ptr<SerialPort> port)
{
    ConfigureReport report;
    DeviceLink link(std::move(port));
    report.outcome = ReadDevice(request.port, request.address, link, report.before, report.readResult);
    if (report.outcome.code != ExitCode::Success)
        return report;

    // Without a new PIN the device's own is sent back, as with the window's
    // two blank PIN fields.
    std::string pin = request.hasPin ? request.pin : std::string(report.before.pin);
    const int auth = request.auth == KeepDeviceAuth ? report.before.auth : request.auth;
    if (request.choosePin)
        report.outcome = request.choosePin(report.before, pin);
    if (report.outcome.code == ExitCode::Success)
        report.outcome = CheckNewConfiguration(report.before.name, pin);
    if (report.outcome.code != ExitCode::Success || request.readOnly)
        return report;
    if (request.beforeWrite) {
        report.outcome = request.beforeWrite(report.before, pin);
        if (report.outcome.code != ExitCode::Success)
            return report;
    }

    LinkResult written = DiscardEarlierInput(link, LinkResult::WriteFailed);
    report.writeTried = written == LinkResult::Ok;
    if (report.writeTried)
        written = link.Configure(auth, pin);
    report.outcome = WithReason(ConfigureOutcome(written), request.port, link);
    report.written = report.outcome.code == ExitCode::Success;
    if (report.written && request.verify)
        Verify(request, auth, pin, link, report);
    return report;
}
