// device/serial/: this machine's serial ports and the system helpers the
// ports above share. May include the link core only.
//
// Waiting and the system's words for errors, shared by the POSIX back ends
// (the tty, the TCP socket and the Bluetooth RFCOMM socket).
#pragma once

#include "Deadline.h"
#include "PortResult.h"

#include <string>

// Waits for `events` on `fd` until `deadline`, through interruptions by
// signals. Returns the events reported, or 0 when the deadline passed first.
short WaitFor(int fd, short events, Deadline deadline);

// The system's own words for errno value `error`, safe from any thread.
std::string SystemText(int error);

// A failed operation with the errno the system gave for it (0 for none).
PortResult PosixFailure(LinkResult outcome, PortOperation operation, int error);
