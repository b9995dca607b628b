#include "OutcomeTable.h"

#include "CliTexts.h"
#include "UserMessages.h"

OutcomeRow OutcomeRowOf(ExitCode code)
{
    switch (code) {
        case ExitCode::Success:
            return {"device", nullptr, "success"};
        case ExitCode::Failure:
            return {nullptr, nullptr, "another failure (the ports could not be listed, output failed)"};
        case ExitCode::Usage:
            return {nullptr, nullptr, "bad command line or port name, or --pin-file without a PIN"};
        case ExitCode::CannotOpen:
            return {"cannot-open", UserMessages::CannotOpenPort, nullptr};
        case ExitCode::SetupFailed:
            return {"setup-failed", UserMessages::CannotSetUpPort, nullptr};
        case ExitCode::QueryWriteFailed:
            return {"write-failed", UserMessages::CannotWriteQuery, nullptr};
        case ExitCode::Timeout:
            return {"no-answer", UserMessages::ReplyTimedOut, nullptr};
        case ExitCode::IncorrectData:
            return {"incorrect-data", UserMessages::IncorrectReply, nullptr};
        case ExitCode::UnsupportedFirmware:
            return {"unsupported-firmware", CliText::UnsupportedFirmware,
                    "unsupported firmware version (the device is not configured)"};
        case ExitCode::NameTooLong:
            return {"refused", UserMessages::NameTooLong, nullptr};
        case ExitCode::PinTooLong:
            return {"refused", UserMessages::PinTooLong, nullptr};
        case ExitCode::PinHasSpaces:
            return {"refused", UserMessages::PinHasSpace, nullptr};
        case ExitCode::ConfigureWriteFailed:
            return {"write-failed", UserMessages::CannotWriteDevice, nullptr};
        case ExitCode::ShortWrite:
            return {"write-failed", UserMessages::ShortWrite, nullptr};
        case ExitCode::NoDeviceFound:
            return {nullptr, CliText::NoDeviceFound, "scan --probe: no port answered as a device"};
        case ExitCode::NotVerified:
            return {"not-verified", CliText::NotVerified,
                    "configure --verify: the device does not report the requested settings"};
        case ExitCode::ProvisionFailed:
            return {nullptr, nullptr, "provision: at least one row did not succeed (each row has its code)"};
        case ExitCode::BadPlan:
            return {nullptr, nullptr, "provision: the plan cannot be read or has a bad row (nothing was done)"};
        case ExitCode::TranscriptFailed:
            return {nullptr, nullptr, "--transcript: the file is no regular file, cannot be opened or written"};
    }
    return {nullptr, nullptr, nullptr};  // not an ExitCode at all
}

namespace {

// The outcome whose row shows the window's `text`: the window's switches
// (UserMessages.cpp) say which text each LinkResult gets, and this table
// only adds its code.
ExitCode CodeShowing(const char* text)
{
    for (int code = 0; code <= ToInt(LastExitCode); ++code) {
        if (OutcomeRowOf(static_cast<ExitCode>(code)).message == text)
            return static_cast<ExitCode>(code);
    }
    return ExitCode::Failure;  // every text the window shows has its row
}

}  // namespace

ExitCode ReadExitCode(LinkResult result)
{
    // The window has no words for these two: a device read correctly, and
    // one whose firmware it passes over without a word.
    if (result == LinkResult::Ok)
        return ExitCode::Success;
    if (result == LinkResult::UnsupportedVersion)
        return ExitCode::UnsupportedFirmware;
    return CodeShowing(QueryFailureMessage(result));
}

ExitCode ConfigureExitCode(LinkResult result)
{
    const char* text = ConfigureFailureMessage(result);
    return text == nullptr ? ExitCode::Success : CodeShowing(text);
}
