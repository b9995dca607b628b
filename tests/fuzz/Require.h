// What a fuzz target checks: a broken invariant names itself and aborts, so
// that libFuzzer keeps the input as a reproducer.
#pragma once

#include <cstdio>
#include <cstdlib>

inline void Require(bool holds, const char* what)
{
    if (holds)
        return;
    std::fprintf(stderr, "broken: %s\n", what);
    std::abort();
}
