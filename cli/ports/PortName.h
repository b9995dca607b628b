// cli/ports/: the ports as the command line names and wraps them. May include
// cli/output/ and below.
//
// How a port given on the command line becomes the path the serial port opens.
// Both platforms' rules are plain functions here, so each can be checked on
// the other platform too; SystemPortStyle picks the one this build uses.
#pragma once

#include "ComPortNames.h"
#include "PortAddress.h"

#include <string>

enum class PortStyle {
    Windows,  // COM1 ... COM256, opened as \\.\COMn
    Posix,    // a tty path: /dev/rfcomm0, /dev/ttyUSB0, a pseudo-terminal, a symlink
};

#ifdef _WIN32
inline constexpr PortStyle SystemPortStyle = PortStyle::Windows;
#else
inline constexpr PortStyle SystemPortStyle = PortStyle::Posix;
#endif

struct ResolvedPort {
    bool ok = false;
    PortAddress address;  // the port's kind, what opens it, and its label
    std::string path;     // what SerialPort::Open is given: address.target
    std::string error;    // why the name was refused, when !ok
};

// A local port by the rules of `style`, or an address with a scheme
// (socket://, rfc2217://, bt://) on either platform.
ResolvedPort ResolvePortName(const std::string& text, PortStyle style);

// What a COM name given on Linux is told, where it names no file.
inline constexpr char PortsArePathsHint[] =
    "ports are paths here: /dev/rfcomm0 for a bound RFCOMM device, or bt://ADDRESS straight over Bluetooth.";

// The COM ports the command line takes, for people: "COM1 to COM256".
std::string ComPortRangeText();
