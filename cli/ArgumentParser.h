// The command line as the user typed it, read through the option table
// (OptionTable.h) into CliOptions.
#pragma once

#include "common/CliOptions.h"

#include <string>
#include <vector>

struct ParsedArguments {
    bool ok = false;
    CliOptions options;
    std::string error;  // one line saying what is wrong, when !ok
};

// `args` are the arguments after the program name.
ParsedArguments ParseArguments(const std::vector<std::string>& args);

// The options before the command name, moved after it, as ParseArguments
// reads them: "--json query COM5" is "query COM5 --json". An option's value
// is skipped as the option's, so "--record query.jsonl provision plan.csv"
// finds the command provision. --version (-V) among them is the command
// itself, and nothing may follow it; a line without a command name, or that
// starts with --help, stays as it is.
std::vector<std::string> CommandFirst(const std::vector<std::string>& args);
