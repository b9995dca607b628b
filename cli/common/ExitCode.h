// The exit codes of tolvane-cli: one per outcome, so that a script can tell
// what happened without reading the messages. What each means, and its status
// word and message, are the rows of OutcomeTable.cpp that give it.
#pragma once

enum class ExitCode : int {
    Success = 0,
    Failure = 1,
    Usage = 2,
    CannotOpen = 3,
    SetupFailed = 4,
    QueryWriteFailed = 5,
    Timeout = 6,
    IncorrectData = 7,
    UnsupportedFirmware = 8,
    NameTooLong = 9,
    PinTooLong = 10,
    PinHasSpaces = 11,
    ConfigureWriteFailed = 12,
    ShortWrite = 13,
    NoDeviceFound = 14,
    NotVerified = 15,
    ProvisionFailed = 16,
    BadPlan = 17,
    TranscriptFailed = 18,
    // 128 plus SIGINT's number, as shells report a process Ctrl-C ended.
    Interrupted = 130,
};

inline int ToInt(ExitCode code)
{
    return static_cast<int>(code);
}
