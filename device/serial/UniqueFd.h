// The owner of a POSIX file descriptor; -1 is none.
#pragma once

#include "UniqueResource.h"

#include <unistd.h>

struct FdTraits {
    using Value = int;
    static Value None() { return -1; }
    static bool IsValid(Value fd) { return fd >= 0; }
    static void Close(Value fd) { ::close(fd); }
};
using UniqueFd = UniqueResource<FdTraits>;
