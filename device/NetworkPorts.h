// The back ends of the ports that are not serial ports of this machine. Each
// is made for its address; SerialPort::Open then connects (the path it is
// given only names the port). The line settings are the far side's business:
// - a TCP socket (socket://) carries the bytes as they are, and the server's
//   own line settings apply;
// - Bluetooth RFCOMM (bt://) has no line to set: the device's Serial Port
//   service takes the bytes as they are.
// Looking up the host and connecting end by the set-up deadline; a far side
// that closes the connection fails the next read with the reason.
#pragma once

#include "PortAddress.h"
#include "SerialPort.h"

#include <chrono>
#include <memory>
#include <string>

// How long a raw TCP server is given after the connection to send what it
// sends on its own (a banner; a late answer to an earlier client of a server
// that keeps its serial port open), so that it is discarded, never read as
// the answer to the query. Long enough for a server on the same network to
// be scheduled, short beside the device's own answer time.
inline constexpr std::chrono::milliseconds SocketGreetingWait{100};

// A TCP connection to the host and port of `address` (socket:// or
// rfc2217://, inside TLS for their "+tls" forms: OpenSSL on POSIX, Schannel
// on Windows), through the addresses of its lookup when it was made. With a
// `greetingWait`, the server's own text is waited for (StreamPort).
std::unique_ptr<SerialPort> CreateSocketSerialPort(const PortAddress& address, std::chrono::milliseconds greetingWait);

// An RFCOMM connection to the Bluetooth device `address` ("AA:BB:CC:DD:EE:FF")
// on `channel`, or with 0 on the channel of its Serial Port service.
std::unique_ptr<SerialPort> CreateBluetoothSerialPort(const std::string& address, int channel);
