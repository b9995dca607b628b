// The simulator's messages on standard error, each "tolvane-simdevice: TEXT"
// line in one write: a fleet's devices share one standard error (or one
// --log file), and their lines must not cut into each other.
#pragma once

#include <string>

void Log(const std::string& message);
