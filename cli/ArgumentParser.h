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
