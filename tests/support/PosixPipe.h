// A POSIX pipe whose two ends have one owner each.
#pragma once

#include "serial/UniqueFd.h"

#include <fcntl.h>
#include <unistd.h>

struct PosixPipe {
    UniqueFd read;
    UniqueFd write;
};

// `flags` as for pipe2 (O_CLOEXEC: neither end survives an exec).
inline bool MakePipe(PosixPipe& made, int flags = 0)
{
    int ends[2];
    if (pipe2(ends, flags) != 0)
        return false;
    made.read.Reset(ends[0]);
    made.write.Reset(ends[1]);
    return true;
}
