// Holds each open of the port until the device has caught up with what the
// host did before it.
//
// Why: the device learns of the host's close only when it reads the host
// watch's events (HostWatch.h). A host that closes the port and opens it again
// at once (choosing the same port again does exactly that) could otherwise
// read bytes of the earlier exchange before the device has dropped them,
// which a real port never shows. An open waits here until the device has read
// those events; it takes a loop turn of the device, well under a millisecond.
//
// Built on fanotify's permission events, which need CAP_SYS_ADMIN. Without
// them the device runs as before, with that small race left open.
#pragma once

#include "UniqueFd.h"

#include <functional>
#include <string>

class OpenGate {
public:
    // Starts holding the opens of `path`. Returns an empty string or an
    // error (opens then go through unheld).
    std::string Start(const std::string& path);

    // Lets every held open through; an open still waiting goes on at once.
    void Stop() { m_fd.Reset(); }

    // The descriptor to poll for readability; -1 when not holding opens.
    int Fd() const { return m_fd.Get(); }

    // Runs `catchUp`, then lets the opens waiting now go on.
    void LetThrough(const std::function<void()>& catchUp);

private:
    UniqueFd m_fd;
};
