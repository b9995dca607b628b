// tolvane-simdevice: the target device, simulated on a pseudo-terminal for
// tests and demos. See Options.cpp for the command line.
#include "Fleet.h"
#include "Options.h"
#include "SimulatedDevice.h"
#include "serial/StandardDescriptors.h"
#include "StateFile.h"
#include "TolvaneVersion.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <iostream>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/resource.h>
#include <unistd.h>

namespace {

// The nice value the device asks for (lower runs first; 0 is the usual).
constexpr int DevicePriority = -10;

}  // namespace

int main(int argc, char* argv[])
{
    // Before the pseudo-terminal or any file is opened: none of them may
    // become standard output or error.
    if (!FillClosedStandardDescriptors())
        return 1;
    Options options;
    const std::string error = ParseOptions(argc, argv, options);
    if (!error.empty()) {
        std::cerr << "tolvane-simdevice: " << error << '\n' << "Try 'tolvane-simdevice --help' for the options.\n";
        return 2;
    }
    if (options.help) {
        std::cout << UsageText();
        return 0;
    }
    if (options.printVersion) {
        std::cout << "tolvane-simdevice (Tolvane) " TOLVANE_VERSION "\n" TOLVANE_COPYRIGHT "\n" TOLVANE_LICENSE "\n";
        return 0;
    }
    if (!options.printStateKey.empty()) {
        const auto state = ReadStateFile(options.statePath);
        const auto found = state.find(options.printStateKey);
        if (found == state.end()) {
            std::cerr << "tolvane-simdevice: no " << options.printStateKey << " in " << options.statePath << '\n';
            return 1;
        }
        std::cout << found->second << '\n';
        return 0;
    }
    if (!options.logPath.empty()) {
        // The log tells the PINs the devices were given: it is the owner's
        // alone. A FIFO without a reader fails at once (O_NONBLOCK) instead
        // of holding the device before it starts; only a regular file is a log.
        const int log =
            open(options.logPath.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC | O_NOCTTY | O_NONBLOCK, 0600);
        struct stat status = {};
        if (log >= 0 && (fstat(log, &status) != 0 || !S_ISREG(status.st_mode))) {
            close(log);
            std::cerr << "tolvane-simdevice: the log " << options.logPath << " is no regular file\n";
            return 1;
        }
        if (log < 0 || dup2(log, STDERR_FILENO) < 0) {
            std::cerr << "tolvane-simdevice: cannot open log " << options.logPath << ": " << std::strerror(errno)
                      << '\n';
            return 1;
        }
        close(log);
    }
    // A fleet always ends with its parent: its devices are many processes
    // that nobody would find to end by hand.
    if (options.exitWithParent || options.count > 0) {
        // SIGTERM takes the ordinary way out. If the parent is already gone
        // (re-parented before prctl), end at once.
        const pid_t parent = getppid();
        prctl(PR_SET_PDEATHSIG, SIGTERM);
        if (getppid() != parent)
            return 0;
    }
    // Paced bytes are 87 us apart: the usual 50 us of timer slack would let
    // each wake-up drift by more than half a byte.
    prctl(PR_SET_TIMERSLACK, 1UL);
    // A real device has a processor of its own: however busy the host, it
    // answers in time. This one shares the host's processors; running ahead
    // of the host's work keeps its delays and gaps close to what the control
    // file asks for on a busy machine. Only root may ask; others run as
    // before. (What the host left unread at a close does not depend on it:
    // tests wait for the device to report the release, HostWatch.h.)
    setpriority(PRIO_PROCESS, 0, DevicePriority);
    if (options.count > 0)
        return RunFleet(options);
    SimulatedDevice device(options);
    return device.Run();
}
