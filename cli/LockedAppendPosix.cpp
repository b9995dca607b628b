#include "LockedAppend.h"

#include <cerrno>
#include <cstring>

#include <sys/file.h>
#include <unistd.h>

namespace {

// Taken after the lock is held, so the lock is always released.
bool WriteAll(int fd, const std::string& text, std::string& reason)
{
    std::size_t done = 0;
    while (done < text.size()) {
        const ssize_t wrote = write(fd, text.data() + done, text.size() - done);
        if (wrote < 0 && errno == EINTR)
            continue;
        if (wrote <= 0) {
            reason = wrote < 0 ? std::strerror(errno) : "nothing was written";
            return false;
        }
        done += static_cast<std::size_t>(wrote);
    }
    return true;
}

}  // namespace

// The file is opened with O_APPEND, so each write lands at its end; flock
// keeps another process's entry from landing between the parts of a write
// the system cut short.
bool AppendLocked(std::FILE* file, const std::string& text, std::string& reason)
{
    const int fd = fileno(file);
    while (flock(fd, LOCK_EX) != 0) {
        if (errno != EINTR) {
            reason = std::strerror(errno);
            return false;
        }
    }
    const bool written = WriteAll(fd, text, reason);
    flock(fd, LOCK_UN);
    return written;
}

bool SyncToDisk(std::FILE* file, std::string& reason)
{
    if (fdatasync(fileno(file)) == 0)
        return true;
    reason = std::strerror(errno);
    return false;
}
