// Deadlines: the point in time by which a port operation must be done. A
// caller that must end in time computes one deadline and hands it down; each
// loop below asks it, so no layer has to pass "the time left" on to the next.
#pragma once

#include <algorithm>
#include <chrono>
#include <cstddef>

using PortClock = std::chrono::steady_clock;
using Deadline = PortClock::time_point;

// No deadline of the caller's: the port's own waits alone bound the call.
inline constexpr Deadline NoDeadline = Deadline::max();

// `wait` from `now`.
inline Deadline DeadlineAfter(std::chrono::milliseconds wait, Deadline now = PortClock::now())
{
    return now + wait;
}

// The earlier of two deadlines.
inline Deadline Earlier(Deadline a, Deadline b)
{
    return std::min(a, b);
}

// The end of the first of `parts` equal shares of the time left until
// `deadline`: the first of several tries that each get their turn.
inline Deadline FirstShare(Deadline deadline, std::size_t parts, Deadline now = PortClock::now())
{
    if (parts <= 1 || deadline <= now)
        return deadline;
    return now + (deadline - now) / static_cast<PortClock::duration::rep>(parts);
}

// The whole milliseconds left until `deadline` (rounded up, so that a wait
// never ends before it), never negative; long waits are cut to `most`.
inline std::chrono::milliseconds TimeLeft(Deadline deadline, std::chrono::milliseconds most,
                                          Deadline now = PortClock::now())
{
    if (deadline <= now)
        return std::chrono::milliseconds(0);
    if (deadline >= now + most)  // also NoDeadline, without the overflow of NoDeadline - now
        return most;
    return std::chrono::ceil<std::chrono::milliseconds>(deadline - now);
}
