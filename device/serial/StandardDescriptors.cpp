#include "StandardDescriptors.h"

#ifdef _WIN32

bool FillClosedStandardDescriptors()
{
    return true;
}

#else

#include <cerrno>

#include <fcntl.h>
#include <unistd.h>

// The descriptors opened here belong to the process as its standard streams,
// as the ones it was started with do: nobody closes them.
bool FillClosedStandardDescriptors()
{
    for (int fd = 0; fd <= 2; ++fd) {
        if (fcntl(fd, F_GETFD) != -1 || errno != EBADF)
            continue;
        // The lower ones are open, so this takes exactly `fd`.
        if (open("/dev/null", O_RDONLY) != fd)
            return false;
    }
    return true;
}

#endif
