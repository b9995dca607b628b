#include "PosixIo.h"

#include <cerrno>
#include <cstring>
#include <limits>

#include <poll.h>

namespace {

using Milliseconds = std::chrono::milliseconds;

// The text of strerror_r, whichever of its two forms the C library has: the
// GNU one returns the text, the POSIX one fills the buffer and returns 0.
[[maybe_unused]] const char* ErrorTextOf(const char* text, const char*)
{
    return text;
}
[[maybe_unused]] const char* ErrorTextOf(int status, const char* buffer)
{
    return status == 0 ? buffer : "";
}

}  // namespace

short WaitFor(int fd, short events, Deadline deadline)
{
    for (;;) {
        pollfd entry = {fd, events, 0};
        const auto wait = TimeLeft(deadline, Milliseconds(std::numeric_limits<int>::max()));
        const int ready = poll(&entry, 1, static_cast<int>(wait.count()));
        if (ready > 0)
            return entry.revents;
        if (ready == 0)
            return 0;
        if (errno != EINTR)
            return POLLERR;
    }
}

std::string SystemText(int error)
{
    char buffer[256] = {};
    return ErrorTextOf(strerror_r(error, buffer, sizeof buffer), buffer);
}

PortResult PosixFailure(LinkResult outcome, PortOperation operation, int error)
{
    return PortFailed(outcome, operation, error, error != 0 ? SystemText(error) : std::string());
}
