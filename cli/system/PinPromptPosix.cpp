#include "PinPrompt.h"

#include "serial/OpenPortsPosix.h"
#include "PinPromptCommon.h"

#include <csignal>
#include <cstring>
#include <iterator>

#include <termios.h>
#include <unistd.h>

namespace {

// The terminal's settings while echo is off, for the handler below: a signal
// must not leave the user's terminal without echo. Read before EchoOff.
termios g_saved;

void RestoreAndDie(int signal)
{
    tcsetattr(STDIN_FILENO, TCSAFLUSH, &g_saved);
    std::signal(signal, SIG_DFL);
    std::raise(signal);
}

// Echo off for the life of this object, from the settings in g_saved; the
// line end is still echoed (ECHONL), so that the next prompt starts a line
// of its own.
class EchoOff {
public:
    EchoOff()
    {
        termios quiet = g_saved;
        quiet.c_lflag &= static_cast<tcflag_t>(~ECHO);
        quiet.c_lflag |= ECHONL | ICANON;
        struct sigaction restore = {};
        restore.sa_handler = RestoreAndDie;
        sigemptyset(&restore.sa_mask);
        for (std::size_t i = 0; i < SignalCount; ++i) {
            m_taken[i] = !SignalIgnored(EndingSignals[i]);
            if (m_taken[i])
                sigaction(EndingSignals[i], &restore, &m_before[i]);
        }
        tcsetattr(STDIN_FILENO, TCSAFLUSH, &quiet);
    }
    ~EchoOff()
    {
        tcsetattr(STDIN_FILENO, TCSAFLUSH, &g_saved);
        for (std::size_t i = 0; i < SignalCount; ++i) {
            if (m_taken[i])
                sigaction(EndingSignals[i], &m_before[i], nullptr);
        }
    }
    EchoOff(const EchoOff&) = delete;
    EchoOff& operator=(const EchoOff&) = delete;

private:
    static constexpr std::size_t SignalCount = std::size(EndingSignals);
    bool m_taken[SignalCount] = {};
    struct sigaction m_before[SignalCount];
};

void Say(const char* text)
{
    [[maybe_unused]] const ssize_t written = write(STDERR_FILENO, text, std::strlen(text));
}

// One line typed after `prompt`, without its line end; false when the input
// ends first.
bool ReadLine(const char* prompt, std::string& line)
{
    Say(prompt);
    line.clear();
    char c = 0;
    while (read(STDIN_FILENO, &c, 1) == 1) {
        if (c == '\n')
            return true;
        line += c;
    }
    return false;
}

}  // namespace

bool PromptNewPin(std::string& pin, std::string& error)
{
    // A terminal whose settings cannot be read could not be given back its
    // echo: it is refused as no terminal, as Windows refuses a console whose
    // mode cannot be read.
    if (isatty(STDIN_FILENO) == 0 || tcgetattr(STDIN_FILENO, &g_saved) != 0) {
        error = PinPromptNoTerminal;
        return false;
    }
    std::string again;
    bool typed = false;
    {
        const EchoOff quiet;
        typed = ReadLine(PinPromptFirst, pin) && ReadLine(PinPromptAgain, again);
    }
    if (!typed)
        Say("\n");
    return AcceptEntries(typed, pin, again, error);
}
