#include "StopSignal.h"

#include <csignal>
#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

namespace {

int pipeFds[2] = {-1, -1};

extern "C" void OnStopSignal(int)
{
    const char byte = 1;
    const ssize_t ignored = write(pipeFds[1], &byte, 1);
    (void)ignored;
}

}  // namespace

bool InstallStopSignals()
{
    if (pipe(pipeFds) != 0)
        return false;
    for (int fd : pipeFds) {
        fcntl(fd, F_SETFL, O_NONBLOCK);
        fcntl(fd, F_SETFD, FD_CLOEXEC);
    }
    struct sigaction action {};
    action.sa_handler = OnStopSignal;
    sigemptyset(&action.sa_mask);
    sigaction(SIGTERM, &action, nullptr);
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGHUP, &action, nullptr);
    signal(SIGPIPE, SIG_IGN);
    return true;
}

int StopSignalFd()
{
    return pipeFds[0];
}

bool StopRequested()
{
    pollfd fd{pipeFds[0], POLLIN, 0};
    return poll(&fd, 1, 0) > 0 && (fd.revents & POLLIN);
}
