// cli/: the entry, its option table and its help. May include every folder of
// cli/.
//
// The door of every command: help, version, the TLS files and the transcript
// set up once, then the command itself (commands/Commands.h).
#pragma once

#include "commands/Commands.h"

// Any command, help and version included.
ExitCode RunCommand(const CliOptions& options, CommandContext& context);
