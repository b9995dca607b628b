#include "InterruptWatch.h"

#include "serial/OpenPortsPosix.h"
#include "serial/UniqueFd.h"

#include <cerrno>
#include <system_error>
#include <thread>

#include <poll.h>
#include <pthread.h>
#include <signal.h>
#include <sys/signalfd.h>
#include <fcntl.h>
#include <unistd.h>

namespace {

// The ending signals (OpenPortsPosix.h) but those ignored since the start.
sigset_t InterruptSignals()
{
    sigset_t signals;
    sigemptyset(&signals);
    for (int signalNumber : EndingSignals) {
        if (!SignalIgnored(signalNumber))
            sigaddset(&signals, signalNumber);
    }
    return signals;
}

}  // namespace

struct InterruptWatch::State {
    std::function<void()> onInterrupt;
    sigset_t previousMask;
    UniqueFd signals;   // signalfd of the ending signals
    UniqueFd stopRead;  // readable once the watch ends
    UniqueFd stopWrite;
    std::thread thread;

    void Watch()
    {
        pollfd fds[2] = {{signals.Get(), POLLIN, 0}, {stopRead.Get(), POLLIN, 0}};
        for (;;) {
            const int ready = poll(fds, 2, -1);
            if (ready < 0 && errno == EINTR)
                continue;  // no handler of ours runs here, but others may
            if (ready < 0) {
                // poll failed: the signals act as without the watch, taken
                // by this thread (the others block them) until it ends.
                const sigset_t interrupts = InterruptSignals();
                pthread_sigmask(SIG_UNBLOCK, &interrupts, nullptr);
                char stop = 0;
                while (read(stopRead.Get(), &stop, 1) < 0 && errno == EINTR) {
                }
                return;
            }
            if (fds[1].revents != 0)
                return;
            signalfd_siginfo info = {};
            if (read(signals.Get(), &info, sizeof info) != sizeof info)
                continue;
            // Unblocked in this thread before `onInterrupt`: should it wait
            // (for the output, held by a row whose standard output does not
            // move), a second signal is taken here at once by the installed
            // handler, which releases the ports and ends the process.
            const sigset_t interrupts = InterruptSignals();
            pthread_sigmask(SIG_UNBLOCK, &interrupts, nullptr);
            onInterrupt();
            // Raised here: the installed handler releases the ports and ends
            // the process, or the default action ends it.
            raise(static_cast<int>(info.ssi_signo));
        }
    }
};

// The signals are blocked in this thread, and so in every thread it starts,
// before the watching thread is started to read them. Should the system
// refuse the descriptors or the thread, the signals act as without the watch.
InterruptWatch::InterruptWatch(std::function<void()> onInterrupt) : m_state(std::make_unique<State>())
{
    m_state->onInterrupt = std::move(onInterrupt);
    const sigset_t interrupts = InterruptSignals();
    int pipeFds[2] = {-1, -1};
    m_state->signals.Reset(signalfd(-1, &interrupts, SFD_CLOEXEC));
    if (!m_state->signals.IsValid() || pipe2(pipeFds, O_CLOEXEC) != 0)
        return;
    m_state->stopRead.Reset(pipeFds[0]);
    m_state->stopWrite.Reset(pipeFds[1]);
    pthread_sigmask(SIG_BLOCK, &interrupts, &m_state->previousMask);
    try {
        m_state->thread = std::thread([state = m_state.get()] { state->Watch(); });
    } catch (const std::system_error&) {
        pthread_sigmask(SIG_SETMASK, &m_state->previousMask, nullptr);
    }
}

// A signal that arrives after the thread stopped stays pending until the
// mask is restored, and is then handled as without the watch.
InterruptWatch::~InterruptWatch()
{
    if (!m_state->thread.joinable())
        return;
    const char stop = 0;
    while (write(m_state->stopWrite.Get(), &stop, 1) < 0 && errno == EINTR) {
    }
    m_state->thread.join();
    pthread_sigmask(SIG_SETMASK, &m_state->previousMask, nullptr);
}
