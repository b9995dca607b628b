// device/serial/: this machine's serial ports and the system helpers the
// ports above share. May include the link core only.
//
// The system's words for a Windows error code (GetLastError, WSAGetLastError),
// shared by the Win32 back ends.
#pragma once

#include "PortResult.h"

#include <string>

// The system's own words for `error` in the user's language, without the
// line end FormatMessage puts after them. Empty when it has none.
std::string SystemText(unsigned long error);

// A failed operation with the error the system gave for it (0 for none).
PortResult Win32Failure(LinkResult outcome, PortOperation operation, unsigned long error);
