#include "PinFile.h"

#include "UniqueFd.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>

// O_NONBLOCK: opening a FIFO without a writer would wait for one; what is
// opened is looked at before a byte is read.
FileProblem ReadRegularFileStart(const std::string& path, std::size_t limit, std::string& bytes, std::string& reason)
{
    const UniqueFd fd(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
    struct stat status {};
    if (!fd.IsValid() || ::fstat(fd.Get(), &status) != 0) {
        reason = std::strerror(errno);
        return FileProblem::CannotRead;
    }
    if (S_ISDIR(status.st_mode))
        return FileProblem::Directory;
    if (!S_ISREG(status.st_mode))
        return FileProblem::NotRegular;
    char buffer[256];
    while (bytes.size() < limit) {
        const ssize_t count = ::read(fd.Get(), buffer, std::min(sizeof buffer, limit - bytes.size()));
        if (count < 0 && errno == EINTR)
            continue;
        if (count < 0) {
            reason = std::strerror(errno);
            return FileProblem::CannotRead;
        }
        if (count == 0)
            break;
        bytes.append(buffer, static_cast<std::size_t>(count));
    }
    return FileProblem::None;
}
