// Runs a program as its own process and collects what it prints and how it
// ends, as a shell script would see it. Windows text-mode line ends (CR LF)
// are read back as LF.
#pragma once

#include <string>
#include <vector>

#ifndef _WIN32
#include <sys/types.h>
#include <unistd.h>
#endif

struct ProcessResult {
    int exitCode = -1;  // -1 when the program could not be run or was killed
    std::string out;
    std::string err;
    bool timedOut = false;
    std::string startError;  // why the program could not be run, if it could not
};

// Standard input is empty. After `timeoutMs` the program is ended. POSIX:
// the program runs in a process group of its own, and at the time-out the
// whole group (what the program started too) gets SIGTERM, and SIGKILL 5 s
// later; whatever is left of the group when the program ends is killed.
ProcessResult RunProcess(const std::string& program, const std::vector<std::string>& args, int timeoutMs);

#ifndef _WIN32
// Starts `program` with `args` as a child process: `inChild` runs in the
// child first (to set up its standard streams, its session...), then the
// program replaces it, found on the PATH when its name has no slash; a
// program that cannot be started ends the child with 127. Returns the
// child's id, or -1 when there is no child. The child of a process with
// threads may call only async-signal-safe functions: `inChild` too.
template <typename InChild>
pid_t StartProcess(const std::string& program, const std::vector<std::string>& args, InChild inChild)
{
    // Made before the fork: the child allocates nothing.
    std::vector<char*> argv = {const_cast<char*>(program.c_str())};
    for (const std::string& arg : args)
        argv.push_back(const_cast<char*>(arg.c_str()));
    argv.push_back(nullptr);
    const pid_t pid = fork();
    if (pid == 0) {
        inChild();
        execvp(program.c_str(), argv.data());
        _exit(127);
    }
    return pid;
}
#endif
