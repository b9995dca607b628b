#include "LinkOutcome.h"

#include "CliTexts.h"
#include "OutputFormat.h"
#include "UserMessages.h"

namespace {

ExitCode ReadExitCode(LinkResult result)
{
    switch (result) {
        case LinkResult::Ok:
            return ExitCode::Success;
        case LinkResult::OpenFailed:
            return ExitCode::CannotOpen;
        case LinkResult::SetupFailed:
            return ExitCode::SetupFailed;
        case LinkResult::WriteFailed:
            return ExitCode::QueryWriteFailed;
        case LinkResult::Timeout:
            return ExitCode::Timeout;
        case LinkResult::UnsupportedVersion:
            return ExitCode::UnsupportedFirmware;
        default:
            break;  // BadEcho, BadReply; a query never ends in ShortWrite
    }
    return ExitCode::IncorrectData;
}

}  // namespace

Outcome ReadOutcome(LinkResult result, const DeviceInfo& info)
{
    // The window passes over unknown firmware without a word; a script has
    // to be told, with the version the device reported.
    if (result == LinkResult::UnsupportedVersion)
        return {ExitCode::UnsupportedFirmware,
                std::string(CliText::UnsupportedFirmware) + " " + JsonString(info.version)};
    const char* message = QueryFailureMessage(result);
    return {ReadExitCode(result), message != nullptr ? message : ""};
}

Outcome ConfigureOutcome(LinkResult result)
{
    const char* message = ConfigureFailureMessage(result);
    if (message == nullptr)
        return {ExitCode::Success, ""};
    return {result == LinkResult::ShortWrite ? ExitCode::ShortWrite : ExitCode::ConfigureWriteFailed, message};
}
