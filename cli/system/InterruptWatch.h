// Ctrl-C, SIGTERM and the other ending signals (OpenPortsPosix.h: SIGHUP,
// Ctrl-\'s SIGQUIT) during a long command: the command says what was left
// undone before the process ends. On POSIX the signals are taken by a thread
// of their own, where `onInterrupt` may lock and print as any code does; then
// the signal goes on to the handler that releases the ports
// (OpenPortsPosix.h) and ends the process with 128 plus its number. On
// Windows the console's Ctrl-C and Ctrl-Break handler calls it, and the
// process then ends as it would have.
#pragma once

#include <functional>
#include <memory>

class InterruptWatch {
public:
    // Watches from now until destroyed. Threads started after this inherit
    // the watch; start it before them.
    explicit InterruptWatch(std::function<void()> onInterrupt);
    ~InterruptWatch();
    InterruptWatch(const InterruptWatch&) = delete;
    InterruptWatch& operator=(const InterruptWatch&) = delete;

private:
    struct State;
    std::unique_ptr<State> m_state;
};
