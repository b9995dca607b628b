// How COM ports are named on Windows, for the window's port list and the
// command line: "COM" and a number, opened by the device-namespace path.
#pragma once

#include "PortAddress.h"

#include <string>

inline constexpr int FirstComPort = 1;
// The highest number the command line takes and looks for.
inline constexpr int LastComPort = 256;
// The window's list offers COM1 to COM30.
inline constexpr int LastListedComPort = 30;

// The device-namespace prefix: COM10 and above can only be opened through it
// (without it "COM12" names a file in the current directory), and with it
// every COM number opens the same way.
inline constexpr char DeviceNamespacePrefix[] = "\\\\.\\";

// "COM" followed by the number in decimal.
std::string ComPortName(int number);

// The number n of "COMn" (any letter case, no sign, no leading zero, 1 to
// LastComPort), or 0 when `text` is not such a name.
int ComPortNumber(const std::string& text);

// The path that opens the port named `name` ("COM5" -> \\.\COM5).
std::string ComPortPath(const std::string& name);

// The COM port `name` ("COM5") as an address: opened by its path, shown by
// its name. The window and the command line reach a COM port through it.
PortAddress ComPortAddress(const std::string& name);
