// What the system tells about a port that could not be used, for the hints
// that follow a failure: whether it exists, who holds it, whether it is a
// serial port at all, whether there is Bluetooth to reach it by. Each answer
// is a look at the system after the failure; none opens the port for use.
#pragma once

#include <string>
#include <vector>

// Whether the serial port `target` (what SerialPort::Open was given) exists.
bool SerialPortExists(const std::string& target);

// The processes that have `target` open, as "PID (NAME)", where the system
// tells (on Linux, /proc); empty where it does not.
std::vector<std::string> ProcessesHolding(const std::string& target);

// Whether `target` is a regular file or a device that is no terminal
// (/dev/null): something that opens, but has no line settings to take.
bool IsNotSerialPort(const std::string& target);

// Whether this computer has no Bluetooth sockets at all.
bool BluetoothMissing();
