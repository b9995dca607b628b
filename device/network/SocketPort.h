// device/network/: ports over the network (lookup, sockets, the stream port,
// Telnet and RFC 2217). May include device/serial/ and the link core.
//
// Stream sockets (TCP, Bluetooth RFCOMM) under StreamPort. The steps are
// written once (SocketPort.cpp); what differs between the systems (the
// socket call, the wait, the error's words) is the seam below, kept in
// SocketPortPosix.cpp and SocketPortWin32.cpp.
#pragma once

#include "PortAddress.h"
#include "SocketApi.h"
#include "StreamPort.h"

#include <functional>
#include <memory>

// Makes and connects a socket before `deadline`: Ok with `socket` set, or
// OpenFailed with the system's reason.
using SocketConnector = std::function<PortResult(OwnedSocket& socket, Deadline deadline)>;

// A serial port over the sockets `connect` makes, with no greeting wait.
std::unique_ptr<SerialPort> CreateSocketPort(SocketConnector connect);

// A TCP connection to the host and port of `address` (socket:// or
// rfc2217://, plain or "+tls"), through the addresses of its lookup when it
// was made, else of one made now: the first address that answers, each
// given its share of the time left until `deadline`. Ok with `socket` set,
// or OpenFailed with the reason of the last address that did not answer.
PortResult ConnectToServer(const PortAddress& address, Deadline deadline, OwnedSocket& socket);

// The seam: one definition for each system.

// The stream of a connected socket.
std::unique_ptr<Stream> SocketStream(OwnedSocket socket);

// The system's sockets ready to use: Winsock is started once, on first use,
// for the life of the program. Ok, or OpenFailed with the reason.
PortResult StartSockets();

// A new non-blocking socket that child processes do not inherit, or none: the
// reason is then LastSocketError().
OwnedSocket OpenStreamSocket(int family, int type, int protocol);

// Connects `socket` (non-blocking) to `address`, waiting until `deadline`.
PortResult ConnectBefore(OwnedSocket::Value socket, const sockaddr* address, socklen_t length, Deadline deadline);

// Asks the system to acknowledge what `socket` receives at once instead of
// after its delayed-acknowledgement wait (40 ms on Linux, up to 200 ms on
// Windows). A server that holds a small segment until the one before it is
// acknowledged (Nagle's algorithm, the default of many serial servers)
// would otherwise wait that long whenever it sends twice without an answer
// between: ser2net's TLS accepter does so with its session tickets and the
// Telnet negotiation after them. Windows keeps the setting for the
// connection (SIO_TCP_SET_ACK_FREQUENCY, which Windows 10 knows; a system
// that does not refuses it and goes on as before); Linux clears it again
// by itself, so a port that may meet such a server sets it again after
// each read. Best effort: it fails nothing.
void AcknowledgePromptly(OwnedSocket::Value socket);

// The error of the last socket call on this thread.
int LastSocketError();

// A failed socket call with the system's words for `error`, or its number
// where the system has none.
PortResult SocketFailure(LinkResult outcome, PortOperation operation, int error);

// A failed getaddrinfo, with the resolver's words for its `error`.
PortResult LookupFailure(int error);
