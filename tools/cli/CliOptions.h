// The command line of tolvane-cli, parsed into what the commands need. Parsing
// only checks the shape of the line; port names are checked by the commands,
// which know the platform's rules (PortName.h).
#pragma once

#include <string>
#include <vector>

enum class CommandKind { Help, Version, Query, Configure, Scan };

struct CliOptions {
    CommandKind command = CommandKind::Help;
    std::string port;                // query, configure: the one port
    std::vector<std::string> ports;  // scan --probe: ports to probe instead of the listed ones
    bool json = false;               // query, scan
    bool probe = false;              // scan
    int auth = 0;                    // configure: 1 for --auth on, 0 for off
    bool hasPin = false;             // configure: --pin given
    std::string pin;                 // configure: the new PIN, never empty when given
};

struct ParsedArguments {
    bool ok = false;
    CliOptions options;
    std::string error;  // one line saying what is wrong, when !ok
};

// `args` are the arguments after the program name.
ParsedArguments ParseArguments(const std::vector<std::string>& args);
