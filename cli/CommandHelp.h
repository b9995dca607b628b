// What the help says about each command: its paragraph, as the list of
// commands in --help and the command's own help show it, and one example.
#pragma once

#include "common/CliOptions.h"
#include "ports/PortName.h"

#include <string>

// The paragraph after the command's name in the first column
// ("  query      Read the device ..."); "" for help and --version.
std::string CommandParagraph(CommandKind kind);

// The command in one line, for the short --help; "" for help and --version.
std::string CommandSummary(CommandKind kind);

// A command line that uses the command, with a port named as `style` names
// it; "" for help and --version.
std::string CommandExample(CommandKind kind, PortStyle style);
