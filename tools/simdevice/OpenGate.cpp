#include "OpenGate.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/fanotify.h>
#include <unistd.h>

std::string OpenGate::Start(const std::string& path) {
    Stop();
    m_fd.Reset(fanotify_init(FAN_CLASS_CONTENT | FAN_CLOEXEC | FAN_NONBLOCK, O_RDONLY | O_CLOEXEC));
    if (!m_fd.IsValid())
        return std::string("fanotify_init: ") + std::strerror(errno);
    if (fanotify_mark(m_fd.Get(), FAN_MARK_ADD, FAN_OPEN_PERM, AT_FDCWD, path.c_str()) != 0) {
        const std::string error = "fanotify_mark " + path + ": " + std::strerror(errno);
        Stop();
        return error;
    }
    return {};
}

void OpenGate::LetThrough(const std::function<void()>& catchUp) {
    if (!m_fd.IsValid())
        return;
    alignas(fanotify_event_metadata) char buffer[4096];
    for (;;) {
        const ssize_t length = read(m_fd.Get(), buffer, sizeof buffer);
        if (length <= 0)
            return;
        // The host's close came before its open: its events are there to read.
        catchUp();
        std::size_t offset = 0;
        while (offset + sizeof(fanotify_event_metadata) <= static_cast<std::size_t>(length)) {
            fanotify_event_metadata event;
            std::memcpy(&event, buffer + offset, sizeof event);
            if (event.event_len < sizeof event)
                return;  // a record the kernel would never write: read no further
            // The kernel's descriptor of the port, made for this event.
            const UniqueFd port(event.fd);
            if (event.mask & FAN_OPEN_PERM) {
                const fanotify_response allow = {event.fd, FAN_ALLOW};
                if (write(m_fd.Get(), &allow, sizeof allow) != static_cast<ssize_t>(sizeof allow))
                    return;
            }
            offset += event.event_len;
        }
    }
}
