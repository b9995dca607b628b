#include "LinkOutcome.h"

#include "OutcomeTable.h"
#include "OutputFormat.h"

namespace {

Outcome FromTable(ExitCode code)
{
    const char* message = code == ExitCode::Success ? nullptr : OutcomeRowOf(code).message;
    return {code, message != nullptr ? message : ""};
}

}  // namespace

Outcome ReadOutcome(LinkResult result, const DeviceInfo& info)
{
    Outcome outcome = FromTable(ReadExitCode(result));
    // The window passes over unknown firmware without a word; a script has
    // to be told, with the version the device reported.
    if (result == LinkResult::UnsupportedVersion)
        outcome.message += " " + JsonString(info.version);
    return outcome;
}

Outcome ConfigureOutcome(LinkResult result)
{
    return FromTable(ConfigureExitCode(result));
}
