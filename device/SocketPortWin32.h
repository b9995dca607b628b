// Stream sockets (TCP, Bluetooth RFCOMM) through Winsock, for StreamPort.
#pragma once

#include "StreamPort.h"
#include "UniqueSocketWin32.h"

// Makes and connects a socket before `deadline`: Ok with `socket` set, or
// OpenFailed with the system's reason.
using SocketConnector = std::function<PortResult(UniqueSocket& socket, Deadline deadline)>;

// A serial port over the sockets `connect` makes.
std::unique_ptr<SerialPort> CreateWin32SocketPort(SocketConnector connect);

// A failed Winsock call with the system's words for `error`, or its number
// where the system has none.
PortResult SocketFailure(LinkResult outcome, PortOperation operation, int error);

// Winsock is started once, on first use, for the life of the program. Ok,
// or OpenFailed with the reason it could not start.
PortResult StartWinsock();

// Connects `socket` (made non-blocking) to `address`, waiting until `deadline`.
PortResult ConnectBefore(SOCKET socket, const sockaddr* address, int length, Deadline deadline);
