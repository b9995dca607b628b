#include "HostWatch.h"

#include <cerrno>
#include <cstring>
#include <sys/inotify.h>
#include <unistd.h>

std::string HostWatch::Start(const std::string& path)
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
    return {};
}

void HostWatch::Stop()
{
    m_fd.Reset();
    m_opens = 0;
}

bool HostWatch::Update()
{
    if (!m_fd.IsValid())
        return false;
    bool released = false;
    alignas(inotify_event) char buffer[4096];
    for (;;) {
        const ssize_t length = read(m_fd.Get(), buffer, sizeof buffer);
        if (length <= 0)
            break;
        for (ssize_t offset = 0; offset + static_cast<ssize_t>(sizeof(inotify_event)) <= length;) {
            inotify_event event;
            std::memcpy(&event, buffer + offset, sizeof event);
            if (event.mask & IN_Q_OVERFLOW)
                m_opens = 0;  // lost count: assume the host let go
            if (event.mask & IN_OPEN)
                ++m_opens;
            if ((event.mask & IN_CLOSE) && m_opens > 0 && --m_opens == 0)
                released = true;
            offset += static_cast<ssize_t>(sizeof(inotify_event) + event.len);
        }
    }
    return released;
}
