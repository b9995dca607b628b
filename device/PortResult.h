// What one serial port operation came to: the outcome, the operation, and
// when the system failed it, the system's own error code and words. Both back
// ends give the same outcomes; only the error numbers and texts are the
// system's (errno and strerror on POSIX, GetLastError and FormatMessage on
// Windows).
#pragma once

#include "LinkResult.h"

#include <cstddef>
#include <string>

enum class PortOperation { None, Open, Setup, Write, Read, Discard };

// Why an operation did not go through: its wait ran out, the far side closed
// the connection (or hung up), or the system failed the call (a reset, a
// port that went away). Three outcomes, so no reader has to guess from the
// words which one happened.
enum class PortFault { None, TimedOut, Closed, Failed };

// The operation as people call it: "open", "set-up", "write", "read",
// "discard", or "" for None.
const char* PortOperationName(PortOperation operation);

struct PortResult {
    // Ok, OpenFailed, SetupFailed, WriteFailed or Timeout.
    LinkResult outcome = LinkResult::Ok;
    PortOperation operation = PortOperation::None;
    std::size_t count = 0;  // bytes written or read
    PortFault fault = PortFault::None;
    long systemError = 0;    // errno or GetLastError(); 0 when the system gave none (a plain time-out)
    std::string systemText;  // the system's words for systemError, without a line end; empty for 0

    bool Ok() const { return outcome == LinkResult::Ok; }
};

// An operation that went through, having moved `count` bytes.
PortResult PortSucceeded(PortOperation operation, std::size_t count = 0);

// An operation that ended in `outcome`, with the system's error and words
// for it (none: 0 and ""). The fault is Failed with an error or words,
// else TimedOut.
PortResult PortFailed(LinkResult outcome, PortOperation operation, long systemError = 0,
                      std::string systemText = std::string());

// A wait that ran out, a connection the far side closed (with `text`, the
// far side's or ours), and a failed call: `outcome` with that fault.
PortResult PortTimedOut(LinkResult outcome, PortOperation operation);
PortResult PortClosed(LinkResult outcome, PortOperation operation, std::string text);

// The words for a connection that the far side closed.
inline constexpr char ClosedByFarSide[] = "The far side closed the connection";

// A server's text as the reason a connection ended: its first line, cut to a
// reason's length, or ClosedByFarSide when it sent no words.
std::string FarSideReason(const std::string& text);
