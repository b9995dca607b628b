// What the system tells about a serial port beyond its name: whether it is a
// Bluetooth link or a USB adapter, and for a Bluetooth link which remote
// device it leads to. Windows makes two COM ports per paired device, and only
// the outgoing one reaches it; the incoming one waits for the device to call.
#pragma once

#include <string>
#include <vector>

// Network: a serial server reached by socket:// or rfc2217://; Bluetooth
// also a device reached straight by bt://.
enum class PortKind { Other, Bluetooth, Usb, Network };

struct PortDetails {
    PortKind kind = PortKind::Other;
    std::string address;      // remote Bluetooth address, "00:11:22:33:44:55"; empty when unknown
    std::string description;  // the system's name for the port or adapter; empty when unknown
    std::string direction;    // "incoming" or "outgoing"; empty when unknown
};

// The word a kind is listed with: "bluetooth", "usb", "network" or "other".
const char* PortKindWord(PortKind kind);

// For each of `ports` (named as a user gives them: COM5, /dev/rfcomm0), in
// the same order, what this machine says about it. Never opens a port.
std::vector<PortDetails> DescribeSystemPorts(const std::vector<std::string>& ports);

// The one name a port goes by, so that two names of one port count as one:
// Linux follows the links of the path and gives empty when there is no such
// node; Windows keeps the \\.\COMn path (only an open could tell more).
std::string PortIdentity(const std::string& path);

// "00:11:22:33:44:55" from the twelve hex digits "001122334455" (either case),
// or empty when `digits` are not twelve hex digits.
std::string BluetoothAddressFromDigits(const std::string& digits);

// An address of zeros is what the incoming port of a pair carries: no remote
// device is known until one calls.
bool IsZeroBluetoothAddress(const std::string& address);

#ifndef _WIN32
// Linux: the details of the port at `path` (a symlink is followed), judged by
// the kernel's files under `sysTtyDir` when the port is a node of `devDir`
// (normally /dev and /sys/class/tty):
//   rfcomm<n>            bluetooth, with the remote address of its binding;
//   ttyUSB<n>, ttyACM<n> usb, described as "vendor:product product-name".
PortDetails DescribePortIn(const std::string& path, const std::string& devDir, const std::string& sysTtyDir);
#endif
