// What tolvane-cli prints that several tests expect, written once: spelt
// out rather than taken from the program, so that a test fails when the
// program's words change.
#pragma once

#include <string>

// query's lines for a bench device in its default state
// (BenchDevice::DefaultState).
inline const std::string DeviceText = "name: Tolvane Demo\nfirmware: 1.3\nauthentication: Enable\npin: 1234\n";

// provision's header line, before its rows' lines.
inline const std::string ProvisionHeader =
    "port\tstatus\tfirmware\tname\tauthenticationBefore\tauthenticationAfter\texitCode\tpin\treason\n";
