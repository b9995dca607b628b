#include "HostWatch.h"

#include <cerrno>
#include <cstring>
#include <poll.h>
#include <sys/epoll.h>

std::string HostWatch::Start(int masterFd)
{
    Stop();
    m_fd.Reset(epoll_create1(EPOLL_CLOEXEC));
    if (!m_fd.IsValid())
        return std::string("epoll_create1: ") + std::strerror(errno);
    epoll_event event = {};
    event.events = EPOLLIN | EPOLLET;
    if (epoll_ctl(m_fd.Get(), EPOLL_CTL_ADD, masterFd, &event) != 0) {
        const std::string error = std::string("epoll_ctl: ") + std::strerror(errno);
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

bool HostWatch::Update()
{
    if (!m_fd.IsValid())
        return false;
    epoll_event events[4];
    bool woken = false;
    while (epoll_wait(m_fd.Get(), events, 4, 0) > 0)
        woken = true;
    if (!woken)
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
