#include "LockedAppend.h"

#include "serial/PosixIo.h"

#include <cerrno>

#include <sys/file.h>
#include <sys/stat.h>
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
            reason = wrote < 0 ? SystemText(errno) : "nothing was written";
            return false;
        }
        done += static_cast<std::size_t>(wrote);
    }
    return true;
}

}  // namespace

// The file is opened with O_APPEND, so each write lands at its end; flock
// keeps another process's entry from landing between the parts of a write
// the system cut short. Under the lock the file ends where this write
// starts: a write that failed after some of its bytes is cut off again
// there, and a line left unended before (a power cut in the middle of a
// write) is ended first, so that the entry is a line of its own and the one
// before it is not lost in it.
bool AppendLocked(std::FILE* file, const std::string& text, std::string& reason,
                  const std::function<bool()>& stillWanted, bool* skipped)
{
    const int fd = fileno(file);
    while (flock(fd, LOCK_EX) != 0) {
        if (errno != EINTR) {
            reason = SystemText(errno);
            return false;
        }
    }
    if (stillWanted && !stillWanted()) {
        *skipped = true;
        flock(fd, LOCK_UN);
        return true;
    }
    bool written = false;
    struct stat info = {};
    char last = '\n';
    errno = 0;
    if (fstat(fd, &info) != 0 || (info.st_size > 0 && pread(fd, &last, 1, info.st_size - 1) != 1)) {
        reason = errno != 0 ? SystemText(errno) : "its end could not be read";
    } else {
        written = WriteAll(fd, last == '\n' ? text : '\n' + text, reason);
        if (!written) {
            [[maybe_unused]] const int cut = ftruncate(fd, info.st_size);
        }
    }
    flock(fd, LOCK_UN);
    return written;
}

bool SyncToDisk(std::FILE* file, std::string& reason)
{
    if (fdatasync(fileno(file)) == 0)
        return true;
    reason = SystemText(errno);
    return false;
}
