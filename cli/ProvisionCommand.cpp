// provision: a plan of ports and settings, at most --jobs rows at once.
#include "Commands.h"

#include "ConfigureSteps.h"
#include "EachAtOnce.h"
#include "InterruptWatch.h"
#include "OutputFormat.h"
#include "ProvisionOutput.h"
#include "ProvisionPlan.h"
#include "RandomPin.h"

#include <algorithm>
#include <mutex>

namespace {

// What the rows of one run share: the plan, read again a row at a time, the
// drawer of its PINs and what is printed.
class ProvisionRun {
public:
    ProvisionRun(const CliOptions& options, CommandContext& context, const std::string& planText, std::size_t jobs)
        : m_options(options),
          m_context(context),
          m_rows(planText, context.portStyle),
          m_pins(context.random),
          m_output(context.out, context.err, options.json, options.check, jobs)
    {}

    ProvisionOutput& Output() { return m_output; }

    // Takes rows until none is left; `slot` is the worker's own.
    void Work(std::size_t slot);

private:
    ProvisionRowResult WorkRow(std::size_t slot, const PlanRow& row);

    const CliOptions& m_options;
    CommandContext& m_context;
    std::mutex m_rowsMutex;
    PlanCursor m_rows;
    PinDrawer m_pins;
    ProvisionOutput m_output;
};

void ProvisionRun::Work(std::size_t slot)
{
    for (;;) {
        PlanRow row;
        {
            const std::lock_guard<std::mutex> lock(m_rowsMutex);
            if (!m_rows.Next(row))
                return;
        }
        m_output.Begin(slot, row);
        m_output.End(slot, WorkRow(slot, row));
    }
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
    const std::string randomText = std::string(RandomPinWord) + ":" + std::to_string(row.randomDigits);
    if (row.randomDigits > 0 && m_options.check) {
        request.hasPin = true;
        request.pin.assign(static_cast<std::size_t>(row.randomDigits), '0');
    } else if (row.randomDigits > 0) {
        request.choosePin = [this, &row, &result](const DeviceInfo& before, std::string& pin) {
            const Outcome drawn = m_pins.Draw(row.randomDigits, before.pin, pin);
            result.pinDrawn = pin;
            return drawn;
        };
    }
    request.readOnly = m_options.check;
    request.beforeWrite = [this, slot](const DeviceInfo&, const std::string&) {
        m_output.Writing(slot);
        return Outcome();
    };
    result.report = ConfigureDevice(request, m_context.makePort(row.address));
    if (m_options.check)
        result.pinAfter = row.randomDigits > 0 ? randomText : row.hasPin ? row.pin : result.report.before.pin;
    return result;
}

}  // namespace

// The plan is read and checked whole before any port is opened; then its
// rows are worked, at most --jobs at once, each with configure's steps on
// its own port, and each printed as it ends.
ExitCode RunProvision(const CliOptions& options, CommandContext& context)
{
    std::string text, error;
    if (!ReadPlanText(options.plan, *context.in, text, error)) {
        context.err << error << '\n';
        return ExitCode::BadPlan;
    }
    const std::string source = options.plan == "-" ? "standard input" : EscapeForText(options.plan);
    const PlanCheck plan = CheckPlan(text, source, context.portStyle, context.identifyPort);
    if (!plan.ok) {
        context.err << plan.error << '\n';
        return ExitCode::BadPlan;
    }

    const std::size_t jobs = std::min<std::size_t>(options.jobs, plan.rows);
    ProvisionRun run(options, context, text, jobs);
    run.Output().Start();
    {
        const InterruptWatch watch([&run] { run.Output().ListInterrupted(); });
        RunEachAtOnce(jobs, [&run](std::size_t slot) { run.Work(slot); });
    }
    return run.Output().Finish(plan.rows);
}
