// Runs a program as its own process and collects what it prints and how it
// ends, as a shell script would see it. Windows text-mode line ends (CR LF)
// are read back as LF.
#pragma once

#include <string>
#include <vector>

struct ProcessResult {
    int exitCode = -1;  // -1 when the program could not be run or was killed
    std::string out;
    std::string err;
    bool timedOut = false;
    std::string startError;  // why the program could not be run, if it could not
};

// Standard input is empty. After `timeoutMs` the program is killed.
ProcessResult RunProcess(const std::string& program, const std::vector<std::string>& args, int timeoutMs);
