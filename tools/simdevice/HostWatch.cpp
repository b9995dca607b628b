#include "HostWatch.h"

#include <cerrno>
#include <cstring>
#include <poll.h>
#include <sys/inotify.h>
#include <unistd.h>

std::string HostWatch::Start(const std::string& path, int masterFd)
{
    Stop();
    m_fd.Reset(inotify_init1(IN_NONBLOCK | IN_CLOEXEC));
    if (!m_fd.IsValid())
        return std::string("inotify_init1: ") + std::strerror(errno);
    if (inotify_add_watch(m_fd.Get(), path.c_str(), IN_OPEN | IN_CLOSE) < 0) {
        const std::string error = "inotify_add_watch " + path + ": " + std::strerror(errno);
        Stop();
        return error;
    }
    m_master = masterFd;
    return {};
}

void HostWatch::Stop()
{
    m_fd.Reset();
    m_master = -1;
    m_hostHolds = false;
}

// The master reports POLLHUP once the slave's last opener closed it (and
// not before a first one opened it: Pty::Open opens and closes it once).
bool HostWatch::SlaveHeld() const
{
    pollfd master = {m_master, POLLIN, 0};
    if (poll(&master, 1, 0) < 0)
        return true;  // cannot tell: keep what the host may read
    return (master.revents & POLLHUP) == 0;
}

bool HostWatch::Update(bool masterHungUp)
{
    if (!m_fd.IsValid())
        return false;
    bool events = false;
    alignas(inotify_event) char buffer[4096];
    while (read(m_fd.Get(), buffer, sizeof buffer) > 0)
        events = true;
    if (!events && !masterHungUp)
        return false;
    const bool held = m_hostHolds;
    m_hostHolds = SlaveHeld();
    return held && !m_hostHolds;
}

void HostWatch::HostSentBytes()
{
    if (m_fd.IsValid() && !m_hostHolds)
        m_hostHolds = SlaveHeld();
}
