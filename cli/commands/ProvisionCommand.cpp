// provision: a plan of ports and settings, at most --jobs rows at once.
#include "Commands.h"

#include "steps/ConfigureSteps.h"
#include "system/EachAtOnce.h"
#include "bench/EarlierRun.h"
#include "system/InterruptWatch.h"
#include "output/OutputFormat.h"
#include "bench/ProvisionOutput.h"
#include "bench/ProvisionPlan.h"
#include "bench/RandomPin.h"
#include "ports/RecordedPort.h"
#include "ports/TlsFiles.h"
#include "bench/RunRecord.h"

#include <algorithm>
#include <mutex>

namespace {

// What the rows of one run share: the plan, read again a row at a time, the
// drawer of its PINs, the record and what is printed.
class ProvisionRun {
public:
    ProvisionRun(const CliOptions& options, CommandContext& context, const std::string& planText,
                 const PlanLookups& lookups, std::size_t jobs, RunRecord* record, const EarlierRun& earlier)
        : m_options(options),
          m_context(context),
          m_rows(planText, context.portStyle),
          m_lookups(lookups),
          m_pins(context.random),
          m_record(record),
          m_earlier(earlier),
          m_output(context.out, context.err, options.json, options.check, jobs, context.progress)
    {}

    ProvisionOutput& Output() { return m_output; }

    // Takes rows until none is left; `slot` is the worker's own.
    void Work(std::size_t slot);

private:
    ProvisionRowResult WorkRow(std::size_t slot, const PlanRow& row);
    ProvisionRowResult SkipRow(const PlanRow& row, const std::string& doneInRun);
    RecordRow RecordRowOf(const PlanRow& row) const;

    const CliOptions& m_options;
    CommandContext& m_context;
    std::mutex m_rowsMutex;
    PlanCursor m_rows;
    const PlanLookups& m_lookups;
    PinDrawer m_pins;
    RunRecord* m_record;  // null without --record
    const EarlierRun& m_earlier;
    ProvisionOutput m_output;
};

void ProvisionRun::Work(std::size_t slot)
{
    for (;;) {
        PlanRow row;
        {
            const std::lock_guard<std::mutex> lock(m_rowsMutex);
            if (m_output.Failed() || !m_rows.Next(row))
                return;
        }
        m_lookups.Apply(row.address);
        m_output.Begin(slot, row);
        const auto done = m_earlier.doneLines.find(row.line);
        m_output.End(slot, done != m_earlier.doneLines.end() ? SkipRow(row, done->second) : WorkRow(slot, row));
    }
}

RecordRow ProvisionRun::RecordRowOf(const PlanRow& row) const
{
    RecordRow recorded;
    recorded.line = row.line;
    recorded.port = row.port;
    recorded.bluetooth = BluetoothAddressOf(row.port, row.address, m_context.describePorts);
    recorded.authAsked = row.auth;
    recorded.pinAsked = PinAsked(row.randomDigits, row.hasPin, row.pin);
    return recorded;
}

ProvisionRowResult ProvisionRun::SkipRow(const PlanRow& row, const std::string& doneInRun)
{
    ProvisionRowResult result;
    result.port = row.port;
    result.requestedAuth = row.auth;
    result.doneEarlier = true;
    m_record->DoneEarlier(RecordRowOf(row), doneInRun);
    return result;
}

// A random PIN is drawn once the device was read, so that it can differ
// from the device's own; --check shows where it would go, as "random:N",
// and passes N zeros through configure's checks, as any PIN drawn would.
ProvisionRowResult ProvisionRun::WorkRow(std::size_t slot, const PlanRow& row)
{
    ProvisionRowResult result;
    result.port = row.port;
    result.requestedAuth = row.auth;
    result.check = m_options.check;
    ConfigureRequest request;
    request.port = row.port;
    request.address = row.address;
    request.auth = row.auth;
    request.hasPin = row.hasPin;
    request.pin = row.pin;
    request.verify = m_options.verify;
    request.verifyWaitMs = m_options.verifyWaitMs;
    request.readOnly = m_options.check;
    std::string drawn;
    if (row.randomDigits > 0 && m_options.check) {
        request.hasPin = true;
        request.pin.assign(static_cast<std::size_t>(row.randomDigits), '0');
    } else if (row.randomDigits > 0) {
        request.choosePin = [this, &row, &drawn](const DeviceInfo& before, std::string& pin) {
            const Outcome outcome = m_pins.Draw(row.randomDigits, before.pin, pin);
            drawn = pin;
            return outcome;
        };
    }
    const RecordRow recorded = m_record != nullptr ? RecordRowOf(row) : RecordRow();
    ConfigureAndRecord(request, m_context.makePort(row.address), m_record, recorded, result,
                       [this, slot] { m_output.Writing(slot); });
    // Only a PIN that may be on the device: one whose command was sent.
    if (result.report.writeTried)
        result.pinDrawn = drawn;
    // --check (which keeps no record): the PIN the device would get.
    if (m_options.check) {
        const std::string asked = PinAsked(row.randomDigits, row.hasPin, row.pin);
        result.pinAfter = asked.empty() ? std::string(result.report.before.pin) : asked;
    }
    return result;
}

// The plan's network addresses are looked up here too, before any port is
// opened.
bool ReadCheckedPlan(const CliOptions& options, CommandContext& context, std::string& text, PlanCheck& plan,
                     PlanLookups& lookups)
{
    std::string error;
    if (!ReadPlanText(options.plan, *context.in, text, error)) {
        context.err << error << '\n';
        return false;
    }
    const std::string source = options.plan == "-" ? "standard input" : EscapeForText(options.plan);
    plan = CheckPlan(text, source, context.portStyle, context.identifyPort);
    if (plan.ok && !lookups.LookUp(text, source, context.portStyle, context.identifyPort, DeadlineAfter(PortSetUpWait),
                                   plan.error))
        plan.ok = false;
    if (!plan.ok)
        context.err << plan.error << '\n';
    return plan.ok;
}

}  // namespace

// The plan is read and checked whole before any port is opened; then its
// rows are worked, at most --jobs at once, each with configure's steps on
// its own port, and each printed (and recorded) as it ends.
ExitCode RunProvision(const CliOptions& options, CommandContext& context)
{
    std::string text, error;
    PlanCheck plan;
    PlanLookups lookups;
    if (!ReadCheckedPlan(options, context, text, plan, lookups))
        return ExitCode::BadPlan;
    if (context.tlsOptionsGiven && plan.tlsRows == 0) {
        context.err << TlsOptionsUnusedMessage(options) << '\n';
        return ExitCode::Usage;
    }
    if (!plan.firstPlainServer.empty())
        context.err << ClearTextWarning(plan.firstPlainServer) << '\n';
    EarlierRun earlier;
    if (options.resume && !FindEarlierRun(options.record, options.plan, PlanHash(text), earlier, error)) {
        context.err << error << '\n';
        return ExitCode::Failure;
    }
    if (options.resume && !earlier.found)
        context.err << "The record " << EscapeForText(options.record)
                    << " holds no run of this plan: every row is worked.\n";
    RunRecord record;
    const bool recording = !options.record.empty();
    if (recording &&
        !record.Open(options.record, "provision", options.plan, text, context.random, context.err, error)) {
        context.err << error << '\n';
        return ExitCode::Failure;
    }

    const std::size_t jobs = std::min<std::size_t>(options.jobs, plan.rows);
    ProvisionRun run(options, context, text, lookups, jobs, recording ? &record : nullptr, earlier);
    run.Output().Start();
    {
        const InterruptWatch watch([&run] { run.Output().ListInterrupted(); });
        RunEachAtOnce(jobs, [&run](std::size_t slot) { run.Work(slot); });
    }
    const ExitCode code = run.Output().Finish(plan.rows);
    const std::string writeError = recording ? record.WriteError() : "";
    if (writeError.empty())
        return code;
    context.err << "Cannot write the record " << EscapeForText(options.record) << ": " << writeError << ".\n";
    return code == ExitCode::Success ? ExitCode::Failure : code;
}
