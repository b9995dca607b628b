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
#include <string>
#include <system_error>
#include <thread>

// How a call made by CallBefore ended.
enum class CallEnd {
    Returned,        // `result` holds what it returned
    DeadlinePassed,  // the caller goes on; the call finishes on its own
    NotStarted,      // no thread could be started for it (a thread limit)
};

// Calls `work` on a thread of its own and waits for it until `deadline`.
// NotStarted comes with the system's words in `whyNot`.
template <typename Result>
CallEnd CallBefore(Deadline deadline, std::function<Result()> work, Result& result, std::string& whyNot)
{
    struct Shared {
        std::mutex mutex;
        std::condition_variable done;
        bool finished = false;
        Result result;
    };
    // A deadline already passed starts no thread: a plan's many hosts after
    // a silent resolver would leave one stuck lookup each.
    if (deadline != NoDeadline && PortClock::now() >= deadline)
        return CallEnd::DeadlinePassed;
    auto shared = std::make_shared<Shared>();
    try {
        std::thread([shared, work = std::move(work)] {
            Result value = work();
            std::lock_guard<std::mutex> lock(shared->mutex);
            shared->result = std::move(value);
            shared->finished = true;
            shared->done.notify_all();
        }).detach();
    } catch (const std::system_error& error) {
        whyNot = error.code().message();
        return CallEnd::NotStarted;
    }
    std::unique_lock<std::mutex> lock(shared->mutex);
    const auto finished = [&] { return shared->finished; };
    if (deadline == NoDeadline)  // a wait until the clock's end would overflow
        shared->done.wait(lock, finished);
    else if (!shared->done.wait_until(lock, deadline, finished))
        return CallEnd::DeadlinePassed;
    result = std::move(shared->result);
    return CallEnd::Returned;
}
