// The exit codes of tolvane-cli: one per outcome, so that a script can tell
// what happened without reading the messages. Each code's status word,
// message and line in --help are its row in OutcomeTable.cpp.
#pragma once

enum class ExitCode : int {
    Success = 0,
    Failure = 1,                // anything not listed below (e.g. ports could not be listed)
    Usage = 2,                  // bad command line or port name
    CannotOpen = 3,             // the port does not exist or is held by another program
    SetupFailed = 4,            // the port refused 115200 8 N 1, no flow control
    QueryWriteFailed = 5,       // the query could not be written
    Timeout = 6,                // the device did not answer in time
    IncorrectData = 7,          // the answer was not a device's (bad echo or bad reply)
    UnsupportedFirmware = 8,    // a device whose firmware this program does not know
    NameTooLong = 9,            // the device's name is longer than 20 characters
    PinTooLong = 10,            // the PIN is longer than 12 characters
    PinHasSpaces = 11,          // the PIN holds a space or a control character
    ConfigureWriteFailed = 12,  // the configure command could not be written
    ShortWrite = 13,            // the configure command was written only in part
    NoDeviceFound = 14,         // scan --probe: no port answered as a device
    NotVerified = 15,           // --verify: the device did not report the requested settings
    ProvisionFailed = 16,       // provision: at least one row did not succeed
    BadPlan = 17,               // provision: the plan cannot be read or has a bad row; no port was opened
    TranscriptFailed = 18,      // --transcript: no regular file, cannot be opened or written (after the work)
};

// The highest code: --help lists every code from Success up to it.
inline constexpr ExitCode LastExitCode = ExitCode::TranscriptFailed;

inline int ToInt(ExitCode code)
{
    return static_cast<int>(code);
}
