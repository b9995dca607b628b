// Which serial ports exist on this machine, named as a user gives them to
// tolvane-cli: COM5 on Windows, /dev/ttyUSB0 on Linux.
#pragma once

#include <string>
#include <vector>

// The ports in order (by kind, then by number). False when the system could
// not be asked at all; an empty list is a success.
bool ListSystemSerialPorts(std::vector<std::string>& ports);

// Windows: the names among `names` that are COM1 to COM256, each once, in the
// order of their numbers, spelt "COMn".
std::vector<std::string> SortComPortNames(const std::vector<std::string>& names);

#ifndef _WIN32
// Linux: the serial ports among the entries of `devDir`, judged by what the
// kernel tells about them under `sysTtyDir` (normally /dev and /sys/class/tty):
//   ttyS<n>              has a device behind it whose UART type is known (the
//                        kernel keeps ttyS0-ttyS3 even without hardware, with type 0);
//   ttyUSB<n>, ttyACM<n> has a device behind it;
//   rfcomm<n>            exists: the node is made when a Bluetooth link is bound.
std::vector<std::string> ListSerialPortsIn(const std::string& devDir, const std::string& sysTtyDir);
#endif

// Orders tty names as people count: ttyS2 before ttyS10.
bool TtyNameLess(const std::string& left, const std::string& right);
