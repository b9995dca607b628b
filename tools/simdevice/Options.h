// The command line of tolvane-simdevice.
#pragma once

#include "DeviceSettings.h"

#include <string>

struct Options {
    DeviceState state;
    ReplyFaults faults;    // the faults to return to whenever the control file changes
    std::string linkPath;  // symlink re-pointed at the slave side of the pty
    std::string transcriptPath;
    std::string statePath;
    std::string controlPath;
    std::string logPath;          // the program's messages, appended, instead of standard error
    int count = 0;                // devices of a fleet (Fleet.h); 0 for one device
    std::string linkPrefix;       // a fleet's links: the prefix and the number 1 ... count
    bool quickQueries = false;    // answer the access code at once (see CommandScanner)
    bool exitWithParent = false;  // a killed test runner leaves no device behind
    bool help = false;
    bool printVersion = false;  // --version without a value
    std::string printStateKey;  // print this key of the state file and exit
};

// Parses argv. Returns an empty string on success, otherwise a message for
// the user (the program then exits with status 2).
std::string ParseOptions(int argc, const char* const argv[], Options& options);

const char* UsageText();
