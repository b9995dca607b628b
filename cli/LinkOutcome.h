// What each outcome of the device link means on the command line: the exit
// code and the message on standard error, with the window's words.
#pragma once

#include "DeviceInfo.h"
#include "ExitCode.h"
#include "LinkResult.h"

#include <string>

struct Outcome {
    ExitCode code = ExitCode::Success;
    std::string message;  // empty for success
};

// Opening the port and reading the device. `info` supplies the version named
// in the message for unknown firmware.
Outcome ReadOutcome(LinkResult result, const DeviceInfo& info);

// Writing the configure command.
Outcome ConfigureOutcome(LinkResult result);
