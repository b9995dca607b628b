// Work on many ports at the same time, one thread each, so that together
// they take as long as the slowest of them and not the sum.
#pragma once

#include <cstddef>
#include <functional>

// Runs work(0) ... work(count - 1), each on its own thread, and returns once
// all have ended. Should the system refuse a thread, that item is worked on
// the calling thread instead: slower, never lost.
void RunEachAtOnce(std::size_t count, const std::function<void(std::size_t)>& work);
