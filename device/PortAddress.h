// Where a port is: a serial port of this machine, a serial server on the
// network, or a Bluetooth device's Serial Port service. A port's text is
// parsed once into a PortAddress; CreateSerialPort (SerialPortFactory.h)
// makes the port for it, and messages and transcripts name it by its label.
//
//   COM5, /dev/ttyUSB0                   a serial port of this machine
//   socket://HOST:PORT                   raw TCP to a serial server
//   rfc2217://HOST:PORT                  Telnet with COM Port Control (RFC 2217)
//   socket+tls://HOST:PORT               raw TCP inside TLS 1.2 or later
//   rfc2217+tls://HOST:PORT              RFC 2217 inside TLS 1.2 or later
//   bt://AA:BB:CC:DD:EE:FF[?channel=N]   Bluetooth RFCOMM, the channel 1 to 30
//
// HOST is a name, an IPv4 address, or an IPv6 address in brackets.
#pragma once

#include "PortResult.h"
#include "TlsSettings.h"

#include <string>
#include <vector>

enum class AddressKind { Serial, Socket, Rfc2217, Bluetooth };

struct PortAddress {
    AddressKind kind = AddressKind::Serial;
    // What SerialPort::Open is given: the path of a serial port (\\.\COM5,
    // /dev/ttyUSB0); for the other kinds the label.
    std::string target;
    // What people see: COM5, /dev/ttyUSB0, rfc2217://bench-a:2217. Two
    // addresses with one label reach the same port.
    std::string label;
    std::string host;            // Socket, Rfc2217: a name or an address, without brackets
    unsigned short tcpPort = 0;  // Socket, Rfc2217: 1 to 65535
    // Socket, Rfc2217: inside TLS (a "+tls" scheme), checked as `tlsSettings`
    // say; they are the command's, not the text's.
    bool tls = false;
    TlsSettings tlsSettings;
    std::string bluetooth;  // Bluetooth: "AA:BB:CC:DD:EE:FF", upper case
    int channel = 0;        // Bluetooth: 1 to 30, or 0 to look it up
    // Socket, Rfc2217: the host's lookup, once it was made for many
    // addresses at once (AddressLookup.h): its result, and the host's
    // numeric addresses in the order to try them. Until then the port looks
    // up its host itself when it opens.
    bool lookedUp = false;
    PortResult lookup;
    std::vector<std::string> addresses;
};

inline constexpr int FirstRfcommChannel = 1;
inline constexpr int LastRfcommChannel = 30;

// A serial server on the network (socket:// or rfc2217://, in TLS or not):
// its host is looked up, and two spellings of one endpoint are one port.
inline bool IsNetworkAddress(const PortAddress& address)
{
    return address.kind == AddressKind::Socket || address.kind == AddressKind::Rfc2217;
}

// A serial port of this machine, opened by `path` and shown as `label`.
PortAddress SerialPortAddress(const std::string& path, const std::string& label);

// Every scheme an address may start with, "://" included, in the order
// above: socket://, rfc2217://, socket+tls://, rfc2217+tls://, bt://.
std::vector<std::string> AddressSchemes();

// True when `text` names its kind with a scheme ("...://"): it is then
// parsed here, and never taken as a path.
bool HasAddressScheme(const std::string& text);

// Parses a text with a scheme. False with what is wrong in `error` (no port
// number, an empty host, a bad Bluetooth address, an unknown scheme...).
bool ParseSchemeAddress(const std::string& text, PortAddress& address, std::string& error);
