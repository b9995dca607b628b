#include "InterruptWatch.h"

#include <mutex>
#include <windows.h>

namespace {

// The console calls its handlers on a thread of its own, with no context:
// the one watch of the process is found here.
std::mutex g_mutex;
std::function<void()>* g_onInterrupt = nullptr;

BOOL WINAPI OnConsoleControl(DWORD type)
{
    if (type != CTRL_C_EVENT && type != CTRL_BREAK_EVENT && type != CTRL_CLOSE_EVENT)
        return FALSE;
    // Each event comes on a thread of its own. One that finds the lock held
    // (an earlier one's listing waits for an output that does not move)
    // leaves it to the system at once: a second Ctrl-C always ends the
    // process.
    const std::unique_lock<std::mutex> lock(g_mutex, std::try_to_lock);
    if (lock.owns_lock() && g_onInterrupt != nullptr)
        (*g_onInterrupt)();
    return FALSE;  // the next handler, the system's, ends the process
}

}  // namespace

struct InterruptWatch::State {
    std::function<void()> onInterrupt;
};

InterruptWatch::InterruptWatch(std::function<void()> onInterrupt) : m_state(std::make_unique<State>())
{
    m_state->onInterrupt = std::move(onInterrupt);
    const std::lock_guard<std::mutex> lock(g_mutex);
    g_onInterrupt = &m_state->onInterrupt;
    SetConsoleCtrlHandler(OnConsoleControl, TRUE);
}

InterruptWatch::~InterruptWatch()
{
    SetConsoleCtrlHandler(OnConsoleControl, FALSE);
    const std::lock_guard<std::mutex> lock(g_mutex);
    g_onInterrupt = nullptr;
}
