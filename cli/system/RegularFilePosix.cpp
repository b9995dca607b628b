#include "RegularFile.h"

#include <cerrno>
#include <cstring>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "serial/UniqueFd.h"

namespace {

// Why a file of `mode` is no regular file, or null when it is one.
const char* NotARegularFile(mode_t mode)
{
    if (S_ISREG(mode))
        return nullptr;
    if (S_ISCHR(mode) || S_ISBLK(mode))
        return "it is a device, not a file";
    if (S_ISFIFO(mode) || S_ISSOCK(mode))
        return "it is a pipe or a socket, not a file";
    if (S_ISDIR(mode))
        return "it is a folder, not a file";
    return "it is not a regular file";
}

// The folder of `path`, whose entry for a file just created is on the disk
// once this returns true. A file system that cannot sync a folder (EINVAL)
// is left as it is.
bool SyncFolderOf(const std::string& path, std::string& reason)
{
    const std::size_t slash = path.find_last_of('/');
    const std::string folder = slash == std::string::npos ? "." : slash == 0 ? "/" : path.substr(0, slash);
    const UniqueFd fd(open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (fd.IsValid() && (fsync(fd.Get()) == 0 || errno == EINVAL))
        return true;
    reason = std::strerror(errno);
    return false;
}

}  // namespace

// A file this program creates holds PINs (a transcript, a record): only its
// owner may read it, whatever the umask. One that exists keeps the mode its
// owner gave it.
constexpr mode_t PrivateFileMode = 0600;

namespace {

// A file just created private, and its folder's entry for it on the disk.
bool PrivateAndFound(int fd, const std::string& path, std::string& reason)
{
    if (fchmod(fd, PrivateFileMode) != 0) {
        reason = std::strerror(errno);
        return false;
    }
    return SyncFolderOf(path, reason);
}

}  // namespace

bool SeekFromStart(std::FILE* file, std::uint64_t offset)
{
    return fseeko(file, static_cast<off_t>(offset), SEEK_SET) == 0;
}

// stat() first, so that a port is never opened (opening one may already
// raise its modem lines); fstat() after the open, for a name that changed in
// between. O_NONBLOCK keeps that open from waiting on a FIFO or a terminal;
// it changes nothing for a regular file.
UniqueFile OpenRegularFile(const std::string& path, const char* mode, std::string& reason, bool* missing)
{
    struct stat info = {};
    if (stat(path.c_str(), &info) == 0 && NotARegularFile(info.st_mode)) {
        reason = NotARegularFile(info.st_mode);
        return UniqueFile();
    }
    const bool append = mode[0] == 'a';
    // Appending reads too: how the file ends (LockedAppend.h).
    const int flags = (append ? O_RDWR | O_APPEND : O_RDONLY) | O_NOCTTY | O_NONBLOCK | O_CLOEXEC;
    UniqueFd fd(append ? open(path.c_str(), flags | O_CREAT | O_EXCL, PrivateFileMode) : -1);
    // A record's entries are synced as they are written; the file itself
    // must be found after a power cut too. One created here that cannot be
    // made so is removed: the next run would take it for a file that was
    // there before, and never sync its entry.
    if (fd.IsValid() && !PrivateAndFound(fd.Get(), path, reason)) {
        unlink(path.c_str());
        return UniqueFile();
    }
    if (!fd.IsValid() && (!append || errno == EEXIST))
        fd = UniqueFd(open(path.c_str(), flags));
    if (!fd.IsValid()) {
        if (missing != nullptr)
            *missing = errno == ENOENT;
        reason = std::strerror(errno);
        return UniqueFile();
    }
    if (fstat(fd.Get(), &info) != 0) {
        reason = std::strerror(errno);
        return UniqueFile();
    }
    if (const char* why = NotARegularFile(info.st_mode)) {
        reason = why;
        return UniqueFile();
    }
    UniqueFile file(fdopen(fd.Get(), mode));
    if (!file.IsValid()) {
        reason = std::strerror(errno);
        return UniqueFile();
    }
    fd.Release();  // the stream owns it now
    return file;
}

namespace {

bool OthersHave(const UniqueFile& file, mode_t rights)
{
    struct stat info = {};
    return file.IsValid() && fstat(fileno(file.Get()), &info) == 0 && (info.st_mode & rights) != 0;
}

}  // namespace

bool ReadableByOthers(const UniqueFile& file)
{
    return OthersHave(file, S_IRGRP | S_IROTH);
}

bool WritableByOthers(const UniqueFile& file)
{
    return OthersHave(file, S_IWGRP | S_IWOTH);
}
