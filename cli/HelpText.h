// The text of tolvane-cli --help: usage, the port names of the platform, the
// output formats and every exit code (OutcomeTable.h).
#pragma once

#include "PortName.h"

#include <string>

std::string HelpText(PortStyle style);
