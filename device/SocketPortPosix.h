// Stream sockets (TCP, Bluetooth RFCOMM) on POSIX, for StreamPort.
#pragma once

#include "PosixIo.h"
#include "StreamPort.h"
#include "UniqueFd.h"

#include <sys/socket.h>

// Makes and connects a non-blocking socket before `deadline`: Ok with
// `socket` set, or OpenFailed with the system's reason.
using SocketConnector = std::function<PortResult(UniqueFd& socket, Deadline deadline)>;

// A serial port over the sockets `connect` makes, with no greeting wait.
std::unique_ptr<SerialPort> CreatePosixSocketPort(SocketConnector connect);

// Connects `fd` (non-blocking) to `address`, waiting until `deadline`.
PortResult ConnectBefore(int fd, const sockaddr* address, socklen_t length, Deadline deadline);
