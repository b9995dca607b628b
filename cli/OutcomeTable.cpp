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
            return {nullptr, nullptr, "--transcript: the file cannot be opened for appending"};
    }
    return {nullptr, nullptr, nullptr};  // not an ExitCode at all
}

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
        case LinkResult::BadEcho:
        case LinkResult::BadReply:
        case LinkResult::ShortWrite:  // a query tests only its write's success, so it never ends so
            return ExitCode::IncorrectData;
    }
    return ExitCode::IncorrectData;
}

ExitCode ConfigureExitCode(LinkResult result)
{
    switch (result) {
        case LinkResult::Ok:
            return ExitCode::Success;
        case LinkResult::ShortWrite:
            return ExitCode::ShortWrite;
        case LinkResult::WriteFailed:
        // The port is open and the device was read: writing the command has
        // no other outcome, and anything else counts as the failed write.
        case LinkResult::OpenFailed:
        case LinkResult::SetupFailed:
        case LinkResult::Timeout:
        case LinkResult::BadEcho:
        case LinkResult::BadReply:
        case LinkResult::UnsupportedVersion:
            return ExitCode::ConfigureWriteFailed;
    }
    return ExitCode::ConfigureWriteFailed;
}
