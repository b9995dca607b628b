#include "PosixIo.h"

#include <algorithm>
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

int MillisecondsUntil(PosixClock::time_point deadline)
{
    const auto left = std::chrono::ceil<Milliseconds>(deadline - PosixClock::now()).count();
    return static_cast<int>(std::clamp<Milliseconds::rep>(left, 0, std::numeric_limits<int>::max()));
}

short WaitFor(int fd, short events, PosixClock::time_point deadline)
{
    for (;;) {
        pollfd entry = {fd, events, 0};
        const int ready = poll(&entry, 1, MillisecondsUntil(deadline));
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
