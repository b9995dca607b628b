// The outcome of every device link operation, as the window and the command
// line tell them apart.
#pragma once

// BadReply covers replies that the device could not have meant: too long,
// fields that do not fit, missing tokens, NUL bytes. The window reports it as
// it reports a bad echo.
enum class LinkResult {
    Ok,
    OpenFailed,
    SetupFailed,
    WriteFailed,
    ShortWrite,
    Timeout,
    BadEcho,
    BadReply,
    UnsupportedVersion,
};

// The enumerator's name ("Ok", "OpenFailed", ...), for logs and tests.
const char* LinkResultName(LinkResult result);
