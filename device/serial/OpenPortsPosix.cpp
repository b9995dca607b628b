#include "OpenPortsPosix.h"

#include <atomic>

#include <sys/ioctl.h>
#include <unistd.h>

namespace {

// Each slot holds a descriptor plus one, or 0 when free: zero-initialised
// before main, and read by the handler without a lock.
std::atomic<int> g_openPorts[MaxTrackedPorts];
static_assert(std::atomic<int>::is_always_lock_free, "the signal handler reads the slots");

// Only calls a signal handler may make: ioctl and close are plain system
// calls, _exit ends the process without running anything of ours.
extern "C" void ReleasePortsAndExit(int signalNumber)
{
    for (std::atomic<int>& slot : g_openPorts) {
        const int stored = slot.exchange(0);
        if (stored <= 0)
            continue;
        ioctl(stored - 1, TIOCNXCL);
        close(stored - 1);
    }
    _exit(128 + signalNumber);
}

}  // namespace

void TrackOpenPort(int fd)
{
    for (std::atomic<int>& slot : g_openPorts) {
        int expected = 0;
        if (slot.compare_exchange_strong(expected, fd + 1))
            return;
    }
}

void ForgetOpenPort(int fd)
{
    for (std::atomic<int>& slot : g_openPorts) {
        int expected = fd + 1;
        if (slot.compare_exchange_strong(expected, 0))
            return;
    }
}

bool SignalIgnored(int signalNumber)
{
    struct sigaction current = {};
    return sigaction(signalNumber, nullptr, &current) == 0 && current.sa_handler == SIG_IGN;
}

void ReleasePortsOnInterrupt()
{
    struct sigaction action = {};
    action.sa_handler = ReleasePortsAndExit;
    sigemptyset(&action.sa_mask);
    for (int signalNumber : EndingSignals)
        sigaddset(&action.sa_mask, signalNumber);
    for (int signalNumber : EndingSignals) {
        if (!SignalIgnored(signalNumber))
            sigaction(signalNumber, &action, nullptr);
    }
}
