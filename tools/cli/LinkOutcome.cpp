#include "LinkOutcome.h"

#include "CliTexts.h"
#include "OutputFormat.h"

Outcome ReadOutcome(LinkResult result, const DeviceInfo& info)
{
    switch (result) {
    case LinkResult::Ok: return {ExitCode::Success, ""};
    case LinkResult::OpenFailed: return {ExitCode::CannotOpen, CliText::CannotOpen};
    case LinkResult::SetupFailed: return {ExitCode::SetupFailed, CliText::SetupFailed};
    // The query only tests whether its write succeeded; a short count is
    // not reported apart.
    case LinkResult::WriteFailed:
    case LinkResult::ShortWrite: return {ExitCode::QueryWriteFailed, CliText::QueryWriteFailed};
    case LinkResult::Timeout: return {ExitCode::Timeout, CliText::Timeout};
    case LinkResult::BadEcho:
    case LinkResult::BadReply: return {ExitCode::IncorrectData, CliText::IncorrectData};
    case LinkResult::UnsupportedVersion:
        return {ExitCode::UnsupportedFirmware,
                std::string(CliText::UnsupportedFirmware) + " " + JsonString(info.version)};
    }
    return {ExitCode::IncorrectData, CliText::IncorrectData};
}

Outcome ConfigureOutcome(LinkResult result)
{
    switch (result) {
    case LinkResult::Ok: return {ExitCode::Success, ""};
    case LinkResult::ShortWrite: return {ExitCode::ShortWrite, CliText::ShortWrite};
    default: return {ExitCode::ConfigureWriteFailed, CliText::ConfigureWriteFailed};
    }
}
