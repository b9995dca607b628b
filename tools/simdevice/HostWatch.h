// Knows whether a host holds the port (the pty's slave path), and notices
// when it lets go.
//
// Why: the simulator keeps the slave open, so the kernel never sees the host's
// close as the last one and keeps bytes the host did not read. A real port
// starts empty at every open; the device uses this watch to drop unread reply
// bytes when the host lets go of the port, and to send nothing while no host
// holds it, so one test's late reply never turns up in the next test's read.
//
// inotify's open and close events on the path only wake the device up: they
// cannot be counted. The kernel merges an event with an identical one still
// unread, so two openers that fail on the port's lock and close again, while
// a third holds it, can arrive as one open and one close. Who holds the port
// is therefore looked up in the system each time (the open descriptors of
// every process, /proc/PID/fd), which counts every holder exactly.
#pragma once

#include "UniqueFd.h"

#include <string>

class HostWatch {
public:
    // Starts watching `path`; no host holds it yet.
    // Returns an empty string or an error (the device then runs without it).
    std::string Start(const std::string& path);
    void Stop();

    // The descriptor to poll for readability; -1 when not watching.
    int Fd() const { return m_fd.Get(); }

    // Reads the pending events and looks up who holds the port now. Returns
    // true when a host held it and none does any longer.
    bool Update();

    // The host sent bytes. Looked up again if no host was known to hold the
    // port: a new descriptor reaches its process's table only after its open
    // event, and bytes may arrive from a host that has already closed.
    void HostSentBytes();

    // Whether a host holds the port (true when not watching: unknown).
    bool HostHasPort() const { return !m_fd.IsValid() || m_hostHolds; }

private:
    UniqueFd m_fd;
    std::string m_path;
    bool m_hostHolds = false;
};
