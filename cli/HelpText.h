// The text of tolvane-cli --help: usage, the port names of the platform, the
// output formats and every exit code (OutcomeTable.h).
#pragma once

#include "common/CliOptions.h"
#include "ports/PortName.h"

#include <string>

std::string HelpText(PortStyle style);

// tolvane-cli --help: the commands one line each, the common options, and
// where the rest is (help COMMAND, help all, the manual).
std::string ShortHelpText(PortStyle style);

// tolvane-cli COMMAND --help: the command's usage, paragraph, options and an
// example. Help and --version have none of their own: HelpText.
std::string CommandHelpText(CommandKind kind, PortStyle style);
