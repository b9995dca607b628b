// An outcome as a command reports it: the exit code, the message on standard
// error and the status word, from the outcome's row (OutcomeTable.h).
#pragma once

#include "DeviceInfo.h"
#include "common/ExitCode.h"
#include "LinkResult.h"
#include "OutcomeTable.h"

#include <string>

struct Outcome {
    ExitCode code = ExitCode::Success;
    std::string message;         // empty for success
    const char* word = nullptr;  // the status in scan --probe and provision, if it has one
};

// `row`'s outcome; `details` follow its message after a space.
Outcome OutcomeOf(const OutcomeRow& row, const std::string& details = "");

// Opening the port and reading the device. `info` supplies the version named
// in the message for unknown firmware.
Outcome ReadOutcome(LinkResult result, const DeviceInfo& info);

// Writing the configure command.
Outcome ConfigureOutcome(LinkResult result);
