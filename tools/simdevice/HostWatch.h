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
// asking it costs one poll whatever else the machine runs. The master is
// watched edge-triggered (epoll): it wakes the device when bytes arrive and
// when the last host closes, and not again and again while the hangup lasts.
// A host that opens and sends nothing needs no answer, so its open wakes no
// one.
#pragma once

#include "serial/UniqueFd.h"

#include <string>

class HostWatch {
public:
    // Starts watching the pty whose master is `masterFd`; no host holds it
    // yet. Returns an empty string or an error (the device then runs without
    // it, and treats the port as held).
    std::string Start(int masterFd);
    void Stop();

    // The descriptor to poll for readability: something happened on the
    // master. -1 when not watching.
    int Fd() const { return m_fd.Get(); }

    // Takes the pending wake-ups and, after any, asks the kernel whether a
    // host holds the port now. Returns true when a host held it and none
    // does any longer.
    bool Update();

    // The host sent bytes. Asked again if no host was known to hold the
    // port: the bytes may come from a host that has already closed.
    void HostSentBytes();

    // Whether a host holds the port (true when not watching: unknown).
    bool HostHasPort() const { return !m_fd.IsValid() || m_hostHolds; }

private:
    bool SlaveHeld() const;

    UniqueFd m_fd;  // epoll
    int m_master = -1;
    bool m_hostHolds = false;
};
