// The state file: what a test reads to see what the device has been told.
//     name=Tolvane Demo
//     version=1.3
//     auth=1
//     pin=1234
//     queries=0
//     configures=0
// It is replaced atomically (written beside, then renamed), so a reader never
// sees half of it.
#pragma once

#include "DeviceSettings.h"

#include <string>

bool WriteStateFile(const std::string& path, const DeviceState& state);
