// What tests on the bench name again and again, named once: the device's
// access code as it crosses the wire, the COM numbers that
// tools/bench/with-bench keeps for failure paths (never a simulated device),
// and the names a program gives a COM port.
#pragma once

#include <string>

// The 13 bytes a query sends and every good reply starts with. Spelt out
// rather than taken from the program's own constant, so that a test of the
// bytes on the wire fails when that constant changes.
inline const std::string AccessCodeBytes = "kwd38m4tQZXh7";

// Under Wine COM8 has nothing behind it (it cannot be opened) and COM9 is the
// null device (it opens, but its line cannot be set up). with-bench keeps
// them, in its UnopenablePort and NullDevicePort.
inline constexpr int UnopenableComNumber = 8;
inline constexpr int NullDeviceComNumber = 9;

// "COMn", as a user names the port.
inline std::string ComName(int comNumber)
{
    return "COM" + std::to_string(comNumber);
}

// "\\.\COMn", the path a Windows program opens for it.
inline std::string Win32PortPath(int comNumber)
{
    return "\\\\.\\" + ComName(comNumber);
}
