// provision: a plan of ports and settings, every port at once.
#include "Commands.h"

#include "ConfigureSteps.h"
#include "EachAtOnce.h"
#include "OutputFormat.h"
#include "ProvisionPlan.h"
#include "ProvisionReport.h"

namespace {

ConfigureRequest RequestOf(const PlanRow& row, const CliOptions& options)
{
    return {row.port, row.address, row.auth, row.hasPin, row.pin, options.verify, options.verifyWaitMs};
}

}  // namespace

// The plan is read and checked whole before any port is opened; then every
// row is worked at once, each with configure's steps on its own port.
ExitCode RunProvision(const CliOptions& options, CommandContext& context)
{
    std::string text, error;
    if (!ReadPlanText(options.plan, *context.in, text, error)) {
        context.err << error << '\n';
        return ExitCode::BadPlan;
    }
    const std::string source = options.plan == "-" ? "standard input" : EscapeForText(options.plan);
    Plan plan = ParsePlan(text, source, context.portStyle, context.identifyPort);
    if (plan.ok)
        LookUpPlanPorts(plan, source, context.identifyPort, DeadlineAfter(PortSetUpWait));
    if (!plan.ok) {
        context.err << plan.error << '\n';
        return ExitCode::BadPlan;
    }

    std::vector<ConfigureReport> reports(plan.rows.size());
    RunEachAtOnce(plan.rows.size(), [&](std::size_t i) {
        reports[i] = ConfigureDevice(RequestOf(plan.rows[i], options), context.makePort(plan.rows[i].address));
    });

    std::size_t failed = 0;
    for (std::size_t i = 0; i < reports.size(); ++i) {
        context.out << FormatProvisionLine(plan.rows[i].port, plan.rows[i].auth, reports[i], options.json);
        failed += reports[i].outcome.code == ExitCode::Success ? 0 : 1;
    }
    if (failed == 0)
        return ExitCode::Success;
    context.err << failed << " of " << reports.size() << " ports were not provisioned.\n";
    return ExitCode::ProvisionFailed;
}
