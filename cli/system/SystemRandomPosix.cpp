#include "SystemRandom.h"

#include "serial/PosixIo.h"

#include <cerrno>

#include <sys/random.h>

// getrandom blocks only until the kernel's pool was first seeded, and a read
// of up to 256 bytes is never cut short once it was; a signal may still
// interrupt a larger one, so each call goes on from where the last stopped.
bool SystemRandomBytes(unsigned char* buffer, std::size_t size, std::string& reason)
{
    std::size_t done = 0;
    while (done < size) {
        const ssize_t got = getrandom(buffer + done, size - done, 0);
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0) {
            reason = got < 0 ? SystemText(errno) : "no bytes";
            return false;
        }
        done += static_cast<std::size_t>(got);
    }
    return true;
}
