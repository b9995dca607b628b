// What tolvane-cli prints on standard output: the device's settings and the
// list of ports, as lines for people or as JSON for scripts.
//
// Names, versions and PINs are bytes from the device and are not trusted to be
// printable. Text output shows control bytes (below 0x20, 0x7F, and 0x80 to
// 0x9F, which terminals take as controls too: 0x9B starts a control sequence)
// as \xHH escapes, so a name can neither move the terminal's cursor nor break
// a line or a column; every other byte, the backslash too, stays as it is.
// Port and file names in messages are shown the same way. JSON output is pure
// ASCII: each byte is one character, bytes from 0x80 up being the characters
// U+0080 to U+00FF.
#pragma once

#include "DeviceInfo.h"
#include "LinkResult.h"
#include "PortDetails.h"

#include <string>
#include <vector>

std::string EscapeForText(const std::string& bytes);

// A JSON string literal, quotes included.
std::string JsonString(const std::string& bytes);

// The device name as the window shows it, without the reply's line terminator
// ("\n" or "\r\n").
std::string DisplayNameOf(const DeviceInfo& info);

// "Enable" when the device requires authentication, else "Disable".
const char* AuthenticationText(const DeviceInfo& info);
const char* AuthenticationWord(int auth);

std::string FormatQueryText(const DeviceInfo& info);
std::string FormatQueryJson(const DeviceInfo& info);

// One port of a scan, probed or not.
struct ScanEntry {
    std::string port;  // as a user would give it: COM5, /dev/rfcomm0
    bool probed = false;
    LinkResult result = LinkResult::Ok;  // of the probe
    DeviceInfo info;                     // when the probe ended Ok or UnsupportedVersion
    PortDetails details;                 // what the system says about the port
};

// The word a probe's outcome is listed with ("device", "no-answer", ...).
const char* ProbeStatusWord(LinkResult result);

// Tab-separated columns at fixed places, empty ones at the end left out: the
// port; when probed the status, firmware and name; then the kind, direction,
// address and description.
std::string FormatScanText(const std::vector<ScanEntry>& entries);
std::string FormatScanJson(const std::vector<ScanEntry>& entries);
