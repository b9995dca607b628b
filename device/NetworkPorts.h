// The back ends of the ports that are not serial ports of this machine. Each
// is made for its address; SerialPort::Open then connects (the path it is
// given only names the port). The line settings are the far side's business:
// - a TCP socket (socket://) carries the bytes as they are, and the server's
//   own line settings apply;
// - Bluetooth RFCOMM (bt://) has no line to set: the device's Serial Port
//   service takes the bytes as they are.
// Connecting waits at most about 5 s; a far side that closes the connection
// fails the next read with the reason.
#pragma once

#include "SerialPort.h"

#include <memory>
#include <string>

// A TCP connection to `host` (a name, an IPv4 or an IPv6 address) at `port`.
std::unique_ptr<SerialPort> CreateSocketSerialPort(const std::string& host, unsigned short port);

// An RFCOMM connection to the Bluetooth device `address` ("AA:BB:CC:DD:EE:FF")
// on `channel`, or with 0 on the channel of its Serial Port service.
std::unique_ptr<SerialPort> CreateBluetoothSerialPort(const std::string& address, int channel);
