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

#include "common/MessageLines.h"

#include <algorithm>
#include <atomic>
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
          m_output(context.out, context.err, options.json, options.check, !options.quiet, jobs,
                   options.quiet ? nullptr : context.progress, context.alignColumns)
    {
        for (const std::string& pin : earlier.pinsSet)
            m_pins.Reserve(pin);
    }

    ProvisionOutput& Output() { return m_output; }

    // What --resume did: how many rows it skipped and why, and which rows it
    // worked again as their request changed.
    void TellResumed(std::ostream& err) const;

    // Takes rows until none is left; `slot` is the worker's own.
    void Work(std::size_t slot);

private:
    ProvisionRowResult WorkRow(std::size_t slot, const PlanRow& row, const RecordRow& recorded);
    ProvisionRowResult SkipRow(const RecordRow& row, const std::string& doneInRun);
    RecordRow RecordRowOf(const PlanRow& row) const;
    // The earlier success of the row's device with the same request, or null.
    const EarlierSuccess* DoneEarlier(const RecordRow& row);

    const CliOptions& m_options;
    CommandContext& m_context;
    std::mutex m_rowsMutex;
    PlanCursor m_rows;
    const PlanLookups& m_lookups;
    PinDrawer m_pins;
    RunRecord* m_record;  // null without --record
    const EarlierRun& m_earlier;
    ProvisionOutput m_output;
    std::atomic<std::size_t> m_skipped{0};
    std::mutex m_changedMutex;
    std::vector<std::string> m_changed;  // a line for each row worked again as its request changed
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
        const RecordRow recorded = m_record != nullptr ? RecordRowOf(row) : RecordRow();
        const EarlierSuccess* done = DoneEarlier(recorded);
        m_output.End(slot, done != nullptr ? SkipRow(recorded, done->run) : WorkRow(slot, row, recorded));
    }
}

const EarlierSuccess* ProvisionRun::DoneEarlier(const RecordRow& row)
{
    // The record is read without --resume too, for its PINs: only --resume skips.
    if (!m_options.resume)
        return nullptr;
    const auto done = m_earlier.doneDevices.find(row.device);
    if (done == m_earlier.doneDevices.end())
        return nullptr;
    const std::string asked = RequestKey(AuthenticationWord(row.authAsked), row.pinAsked);
    if (done->second.request == asked) {
        ++m_skipped;
        return &done->second;
    }
    const std::lock_guard<std::mutex> lock(m_changedMutex);
    // The requests are not shown: a literal PIN is no report's.
    m_changed.push_back("line " + std::to_string(row.line) + " (" + EscapeForText(row.port) + "): run " +
                        EscapeForText(done->second.run) +
                        " set this device up with another authentication or PIN rule.");
    return nullptr;
}

void ProvisionRun::TellResumed(std::ostream& err) const
{
    err << "--resume skipped " << m_skipped.load()
        << " rows whose device this record holds as set up with the same request; "
        << "worked again, as their request changed: " << m_changed.size() << " rows.\n";
    for (const std::string& changed : m_changed)
        err << "  " << changed << '\n';
}

RecordRow ProvisionRun::RecordRowOf(const PlanRow& row) const
{
    RecordRow recorded;
    recorded.line = row.line;
    recorded.port = row.port;
    recorded.bluetooth = BluetoothAddressOf(row.port, row.address, m_context.describePorts);
    recorded.device = DeviceKey(row.address, recorded.bluetooth, m_context.identifyPort);
    recorded.authAsked = row.auth;
    recorded.pinAsked = PinAsked(row.randomDigits, row.hasPin, row.pin);
    recorded.columns = row.columns;
    return recorded;
}

ProvisionRowResult ProvisionRun::SkipRow(const RecordRow& row, const std::string& doneInRun)
{
    ProvisionRowResult result;
    result.port = row.port;
    result.requestedAuth = row.authAsked;
    result.doneEarlier = true;
    result.columns = row.columns;
    m_record->DoneEarlier(row, doneInRun);
    return result;
}

// A random PIN is drawn once the device was read, so that it can differ
// from the device's own; --check shows where it would go, as "random:N",
// and passes N zeros through configure's checks, as any PIN drawn would.
ProvisionRowResult ProvisionRun::WorkRow(std::size_t slot, const PlanRow& row, const RecordRow& recorded)
{
    ProvisionRowResult result;
    result.port = row.port;
    result.requestedAuth = row.auth;
    result.check = m_options.check;
    result.columns = row.columns;
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
    ConfigureAndRecord(request, m_context.makePort(row.address), m_record, recorded, result,
                       [this, slot, &drawn] { return m_output.PassWriteGate(slot, drawn); });
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

// An argument as a shell takes it back: POSIX shells in single quotes,
// Windows' in double quotes (which no Windows file name holds).
std::string ShellWord(const std::string& word, PortStyle style)
{
    if (!word.empty() &&
        word.find_first_not_of("abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789_-./:\\@+,") ==
            std::string::npos)
        return EscapeForText(word);
    if (style == PortStyle::Windows)
        return "\"" + EscapeForText(word) + "\"";
    std::string quoted = "'";
    for (char c : word)
        quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return EscapeForText(quoted + "'");
}

// What an interrupted run tells to finish the plan: the same plan and
// record with --resume, which skips the devices done.
std::string ResumeHint(const CliOptions& options, PortStyle style)
{
    if (options.record.empty())
        return "without --record, a later run cannot tell the rows done: check the devices listed above.";
    if (options.plan == "-")
        return "finish the plan by giving it again with --record " + ShellWord(options.record, style) + " --resume.";
    return "finish the plan with: tolvane-cli provision " + ShellWord(options.plan, style) + " --record " +
           ShellWord(options.record, style) + " --resume";
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
    if (plan.ok)
        return true;
    context.err << plan.error << '\n';
    // A port that is not there gets query's hints, once, after the plan's
    // lines: the ports a scan finds, and on Linux for a Windows name (COM5)
    // that ports are paths, unless its line said so already.
    if (!plan.missingPort.empty())
        for (const std::string& hint :
             context.readFailureHints({plan.missingPort, plan.missingAddress, LinkResult::OpenFailed}))
            if (plan.error.find(hint) == std::string::npos)
                context.err << HintPrefix << hint << '\n';
    return false;
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
        context.err << TlsOptionsUnusedMessage(WithoutEnvironmentTls(options)) << '\n';
        return ExitCode::Usage;
    }
    if (!plan.firstPlainServer.empty())
        context.err << ClearTextWarning(plan.firstPlainServer) << '\n';
    EarlierRun earlier;
    // The record is read without --resume too, for the PINs it holds.
    if (!options.record.empty() && !FindEarlierRun(options.record, earlier, error)) {
        context.err << error << '\n';
        return ExitCode::Failure;
    }
    if (earlier.unreadLines > 0)
        context.err << "The record " << EscapeForText(options.record) << " has " << earlier.unreadLines
                    << " lines that are no JSON object (cut short, or edited): they are passed over.\n";
    if (options.resume && !earlier.found)
        context.err << "The record " << EscapeForText(options.record)
                    << " holds no device provision set up: every row is worked.\n";
    RunRecord record;
    const bool recording = !options.record.empty();
    if (recording &&
        !record.Open(options.record, "provision", options.plan, text, context.random, context.err, error)) {
        context.err << error << '\n';
        return ExitCode::Failure;
    }

    if (recording)
        record.FollowOtherRuns(earlier);
    const std::size_t jobs = std::min<std::size_t>(options.jobs, plan.rows);
    ProvisionRun run(options, context, text, lookups, jobs, recording ? &record : nullptr, earlier);
    run.Output().Start(plan.otherColumns);
    {
        const std::string hint = ResumeHint(options, context.portStyle);
        const InterruptWatch watch([&run, &hint] { run.Output().ListInterrupted(hint); });
        RunEachAtOnce(jobs, [&run](std::size_t slot) { run.Work(slot); });
    }
    const ExitCode code = run.Output().Finish(plan.rows);
    if (options.resume && earlier.found)
        run.TellResumed(context.err);
    const std::string writeError = recording ? record.WriteError() : "";
    if (writeError.empty())
        return code;
    // The record's failure is the run's, whatever its rows did: the help
    // gives it one code, as configure exits with it.
    context.err << "Cannot write the record " << EscapeForText(options.record) << ": " << writeError << ".\n";
    return ExitCode::Failure;
}
