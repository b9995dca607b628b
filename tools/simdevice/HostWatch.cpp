#include "HostWatch.h"

#include <cerrno>
#include <cstring>
#include <memory>
#include <dirent.h>
#include <fcntl.h>
#include <sys/inotify.h>
#include <unistd.h>

namespace {

// Closes a directory stream when it goes out of scope.
struct DirCloser {
    void operator()(DIR* dir) const { closedir(dir); }
};

bool IsProcessId(const char* name)
{
    if (*name == '\0')
        return false;
    for (const char* c = name; *c; ++c) {
        if (*c < '0' || *c > '9')
            return false;
    }
    return true;
}

// Whether the process `processId` has `path` open.
// A process that ends meanwhile, or one this user may not look into, holds
// nothing as far as the device can tell.
bool ProcessHolds(int procFd, const char* processId, const std::string& path)
{
    const std::string fdDir = std::string(processId) + "/fd";
    const int fdDirFd = openat(procFd, fdDir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fdDirFd < 0)
        return false;
    const std::unique_ptr<DIR, DirCloser> fds(fdopendir(fdDirFd));
    if (!fds) {
        close(fdDirFd);
        return false;
    }
    char target[256];
    while (const dirent* entry = readdir(fds.get())) {
        const ssize_t length = readlinkat(fdDirFd, entry->d_name, target, sizeof target);
        if (length > 0 && static_cast<std::size_t>(length) == path.size() &&
            std::memcmp(target, path.data(), path.size()) == 0)
            return true;
    }
    return false;
}

// Whether any process but this one has `path` open.
bool AnotherProcessHolds(const std::string& path)
{
    const int procFd = open("/proc", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (procFd < 0)
        return true;  // cannot tell: keep what the host may read
    const std::unique_ptr<DIR, DirCloser> processes(fdopendir(procFd));
    if (!processes) {
        close(procFd);
        return true;
    }
    const std::string self = std::to_string(getpid());
    while (const dirent* entry = readdir(processes.get())) {
        if (IsProcessId(entry->d_name) && self != entry->d_name && ProcessHolds(procFd, entry->d_name, path))
            return true;
    }
    return false;
}

}  // namespace

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
    m_path = path;
    return {};
}

void HostWatch::Stop()
{
    m_fd.Reset();
    m_path.clear();
    m_hostHolds = false;
}

bool HostWatch::Update()
{
    if (!m_fd.IsValid())
        return false;
    bool events = false;
    alignas(inotify_event) char buffer[4096];
    while (read(m_fd.Get(), buffer, sizeof buffer) > 0)
        events = true;
    if (!events)
        return false;
    const bool held = m_hostHolds;
    m_hostHolds = AnotherProcessHolds(m_path);
    return held && !m_hostHolds;
}

void HostWatch::HostSentBytes()
{
    if (m_fd.IsValid() && !m_hostHolds)
        m_hostHolds = AnotherProcessHolds(m_path);
}
