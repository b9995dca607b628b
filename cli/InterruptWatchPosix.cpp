#include "InterruptWatch.h"

#include <atomic>
#include <thread>

#include <pthread.h>
#include <signal.h>
#include <time.h>

namespace {

sigset_t InterruptSignals()
{
    sigset_t signals;
    sigemptyset(&signals);
    sigaddset(&signals, SIGINT);
    sigaddset(&signals, SIGTERM);
    return signals;
}

// How often the watching thread looks whether it should stop.
constexpr long StopPollNanoseconds = 100 * 1000 * 1000;

}  // namespace

struct InterruptWatch::State {
    std::function<void()> onInterrupt;
    sigset_t previousMask;
    std::atomic<bool> stop{false};
    std::thread thread;

    void Watch()
    {
        const sigset_t signals = InterruptSignals();
        const timespec poll = {0, StopPollNanoseconds};
        while (!stop) {
            const int signalNumber = sigtimedwait(&signals, nullptr, &poll);
            if (signalNumber <= 0)
                continue;
            onInterrupt();
            // Delivered to this thread, now unblocked: the installed handler
            // releases the ports and ends the process, or the default action
            // ends it.
            pthread_sigmask(SIG_UNBLOCK, &signals, nullptr);
            raise(signalNumber);
        }
    }
};

// The signals are blocked in this thread, and so in every thread it starts,
// before the watching thread is started to wait for them.
InterruptWatch::InterruptWatch(std::function<void()> onInterrupt) : m_state(std::make_unique<State>())
{
    m_state->onInterrupt = std::move(onInterrupt);
    const sigset_t signals = InterruptSignals();
    pthread_sigmask(SIG_BLOCK, &signals, &m_state->previousMask);
    m_state->thread = std::thread([state = m_state.get()] { state->Watch(); });
}

// A signal that arrives after the thread stopped stays pending until the
// mask is restored, and is then handled as without the watch.
InterruptWatch::~InterruptWatch()
{
    m_state->stop = true;
    m_state->thread.join();
    pthread_sigmask(SIG_SETMASK, &m_state->previousMask, nullptr);
}
