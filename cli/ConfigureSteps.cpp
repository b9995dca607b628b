#include "ConfigureSteps.h"

#include "CliTexts.h"
#include "ConfigureChecks.h"
#include "DeviceLink.h"
#include "OutputFormat.h"
#include "PortReason.h"

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

// The device is read again once, after a pause, and never written again:
// some devices take new settings only after a reset, and writing once more
// would not change that.
void Verify(const ConfigureRequest& request, const std::string& pin, DeviceLink& link, ConfigureReport& report)
{
    std::this_thread::sleep_for(std::chrono::milliseconds(request.verifyWaitMs));
    report.verifying = true;
    const LinkResult read = link.Query(report.after);
    report.readAgain = read == LinkResult::Ok;
    if (!report.readAgain) {
        report.outcome = {ExitCode::NotVerified,
                          std::string(CliText::NotVerified) + " " +
                              WithReason(ReadOutcome(read, report.after), request.port, link).message};
        return;
    }
    report.verified = report.after.auth == request.auth && std::string(report.after.pin) == pin;
    if (report.verified)
        return;
    report.outcome = {ExitCode::NotVerified, std::string(CliText::NotVerified) + " The device reports authentication " +
                                                 AuthenticationText(report.after) + " and PIN " +
                                                 EscapeForText(report.after.pin) + ". " + CliText::MayNeedReset};
}

}  // namespace

Outcome ReadDevice(const std::string& port, const std::string& path, DeviceLink& link, DeviceInfo& info,
                   LinkResult& result)
{
    result = link.Open(path);
    if (result == LinkResult::Ok)
        result = link.Query(info);
    return WithReason(ReadOutcome(result, info), port, link);
}

ConfigureReport ConfigureDevice(const ConfigureRequest& request, std::unique_ptr<SerialPort> port)
{
    ConfigureReport report;
    DeviceLink link(std::move(port));
    report.outcome = ReadDevice(request.port, request.address.target, link, report.before, report.readResult);
    if (report.outcome.code != ExitCode::Success)
        return report;

    // Without a new PIN the device's own is sent back, as with the window's
    // two blank PIN fields.
    std::string pin = request.hasPin ? request.pin : std::string(report.before.pin);
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

    report.outcome = WithReason(ConfigureOutcome(link.Configure(request.auth, pin)), request.port, link);
    report.written = report.outcome.code == ExitCode::Success;
    if (report.written && request.verify)
        Verify(request, pin, link, report);
    return report;
}
