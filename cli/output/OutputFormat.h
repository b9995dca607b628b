// cli/output/: what the command line prints. May include cli/system/ and below.
//
// What tolvane-cli prints on standard output: the device's settings and the
// list of ports, as lines for people or as JSON for scripts.
//
// Every byte from a device is escaped as TextEscape.h says.
#pragma once

#include "DeviceInfo.h"
#include "common/TextEscape.h"
#include "LinkResult.h"
#include "system/PortDetails.h"

#include <string>
#include <vector>

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
    std::string reason;                  // why the probe failed, in the system's words; "" for none
};

// The word a probe's outcome is listed with ("device", "no-answer", ...).
const char* ProbeStatusWord(LinkResult result);

// A line of a text table: its columns at fixed places, the empty ones at the
// end left out. Without `widths` they are joined by tabs, the form scripts
// take apart; with them (for a terminal) each but the last is padded with
// spaces to its width, and two more: a wider one pushes the rest along.
std::string JoinColumns(std::vector<std::string> columns, const std::vector<std::size_t>& widths = {});

// The width a terminal gives `text`: its UTF-8 characters.
std::size_t TextWidth(const std::string& text);

// Columns at fixed places, empty ones at the end left out: the port; when
// probed the status, firmware and name; then the kind, direction, address
// and description; then why a probe failed (JSON names it "reason").
// Tab-separated, or `aligned` in columns as wide as the widest entry's.
std::string FormatScanText(const std::vector<ScanEntry>& entries, bool aligned = false);
std::string FormatScanJson(const std::vector<ScanEntry>& entries);
