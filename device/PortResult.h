// What one serial port operation came to: the outcome, the operation, and
// when the system failed it, the system's own error code and words. Both back
// ends give the same outcomes; only the error numbers and texts are the
// system's (errno and strerror on POSIX, GetLastError and FormatMessage on
// Windows).
#pragma once

#include "LinkResult.h"

#include <cstddef>
#include <string>

enum class PortOperation { None, Open, Setup, Write, Read, SetReadTimeout };

// The operation as people call it: "open", "set-up", "write", "read",
// "read time-out", or "" for None.
const char* PortOperationName(PortOperation operation);

struct PortResult {
    // Ok, OpenFailed, SetupFailed, WriteFailed or Timeout.
    LinkResult outcome = LinkResult::Ok;
    PortOperation operation = PortOperation::None;
    std::size_t count = 0;   // bytes written or read
    long systemError = 0;    // errno or GetLastError(); 0 when the system gave none (a plain time-out)
    std::string systemText;  // the system's words for systemError, without a line end; empty for 0

    bool Ok() const { return outcome == LinkResult::Ok; }
};

// An operation that went through, having moved `count` bytes.
PortResult PortSucceeded(PortOperation operation, std::size_t count = 0);

// An operation that ended in `outcome`, with the system's error and words
// for it (none: 0 and "").
PortResult PortFailed(LinkResult outcome, PortOperation operation, long systemError = 0,
                      std::string systemText = std::string());
