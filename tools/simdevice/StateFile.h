// The state file: what a test reads to see what the device has been told.
//     name=Tolvane Demo
//     version=1.3
//     auth=1
//     pin=1234
//     queries=0
//     configures=0
//     query-line=115200 8N1 none
//     releases=0
//     hangups=0
// It is replaced atomically (written beside, then renamed), so a reader never
// sees half of it. This is its one reader too: the tests' BenchDevice reads it
// through ReadStateFile, scripts through `tolvane-simdevice --state FILE
// --print-state KEY`.
#pragma once

#include "DeviceSettings.h"

#include <map>
#include <string>

bool WriteStateFile(const std::string& path, const DeviceState& state);

// The file's keys and values; none when the file is missing.
std::map<std::string, std::string> ReadStateFile(const std::string& path);
