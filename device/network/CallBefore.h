// A call that may not return in time (a name lookup: the system's resolver
// waits for each silent name server in turn, and has no deadline of its
// own), made on a thread of its own and waited for until a deadline. When
// the deadline passes first, the thread is left to finish on its own and its
// result is dropped: the caller goes on at once.
#pragma once

#include "Deadline.h"

#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>

// True with `work`'s result in `result`; false when `deadline` passed first.
template <typename Result>
bool CallBefore(Deadline deadline, std::function<Result()> work, Result& result)
{
    struct Shared {
        std::mutex mutex;
        std::condition_variable done;
        bool finished = false;
        Result result;
    };
    auto shared = std::make_shared<Shared>();
    std::thread([shared, work = std::move(work)] {
        Result value = work();
        std::lock_guard<std::mutex> lock(shared->mutex);
        shared->result = std::move(value);
        shared->finished = true;
        shared->done.notify_all();
    }).detach();
    std::unique_lock<std::mutex> lock(shared->mutex);
    const auto finished = [&] { return shared->finished; };
    if (deadline == NoDeadline)  // a wait until the clock's end would overflow
        shared->done.wait(lock, finished);
    else if (!shared->done.wait_until(lock, deadline, finished))
        return false;
    result = std::move(shared->result);
    return true;
}
