#include "LinkOutcome.h"

#include "OutputFormat.h"

Outcome OutcomeOf(const OutcomeRow& row, const std::string& details)
{
    std::string message = row.message != nullptr ? row.message : "";
    if (!details.empty())
        message += (message.empty() ? "" : " ") + details;
    return {row.code, message, row.word};
}

Outcome ReadOutcome(LinkResult result, const DeviceInfo& info)
{
    // Unknown firmware is named with the version the device reported.
    return OutcomeOf(ReadRow(result),
                     result == LinkResult::UnsupportedVersion ? "\"" + EscapeForText(info.version) + "\"" : "");
}

Outcome ConfigureOutcome(LinkResult result)
{
    return OutcomeOf(WriteRow(result));
}
