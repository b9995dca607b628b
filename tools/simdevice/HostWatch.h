// Notices when the host opens and closes the port (the pty's slave path),
// through inotify's open and close events on it.
//
// Why: the simulator keeps the slave open, so the kernel never sees the host's
// close as the last one and keeps bytes the host did not read. A real port
// starts empty at every open; the device uses this watch to drop unread reply
// bytes when the host lets go of the port, and to send nothing while no host
// holds it, so one test's late reply never turns up in the next test's read.
#pragma once

#include "UniqueFd.h"

#include <string>

class HostWatch {
public:
    // Starts watching `path`; opens made before this call are not counted.
    // Returns an empty string or an error (the device then runs without it).
    std::string Start(const std::string& path);
    void Stop();

    // The descriptor to poll for readability; -1 when not watching.
    int Fd() const { return m_fd.Get(); }

    // Reads the pending events. Returns true when the host's last open
    // descriptor of the port was closed.
    bool Update();

    // Whether a host holds the port now (true when not watching: unknown).
    bool HostHasPort() const { return !m_fd.IsValid() || m_opens > 0; }

private:
    UniqueFd m_fd;
    long m_opens = 0;
};
