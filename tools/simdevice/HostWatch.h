// Knows whether a host holds the port (the pty's slave side), and notices
// when it lets go.
//
// Why: a real port starts empty at every open, but a pty keeps the bytes the
// host did not read for its next open; the device uses this watch to drop
// unread reply bytes when the host lets go of the port, and to send nothing
// while no host holds it, so one test's late reply never turns up in the next
// test's read.
//
// The kernel counts the slave's openers itself: the master side reports a
// hangup (POLLHUP) exactly while no one holds the slave. The device keeps no
// descriptor of its own on the slave, so that count is the hosts' alone, and
// asking it costs one poll whatever else the machine runs. inotify's open and
// close events on the slave's path only wake the device up: the kernel merges
// an event with an identical one still unread, so they cannot be counted.
#pragma once

#include "UniqueFd.h"

#include <string>

class HostWatch {
public:
    // Starts watching the slave at `path` of the pty whose master is
    // `masterFd`; no host holds it yet. Returns an empty string or an error
    // (the device then runs without it).
    std::string Start(const std::string& path, int masterFd);
    void Stop();

    // The descriptor to poll for readability; -1 when not watching.
    int Fd() const { return m_fd.Get(); }

    // Reads the pending events and, after any or after the master showed a
    // hangup, asks the kernel whether a host holds the port now. Returns true
    // when a host held it and none does any longer.
    bool Update(bool masterHungUp = false);

    // The host sent bytes. Asked again if no host was known to hold the
    // port: bytes may arrive before their open's event is read, or from a
    // host that has already closed.
    void HostSentBytes();

    // Whether a host holds the port (true when not watching: unknown).
    bool HostHasPort() const { return !m_fd.IsValid() || m_hostHolds; }

private:
    bool SlaveHeld() const;

    UniqueFd m_fd;
    int m_master = -1;
    bool m_hostHolds = false;
};
