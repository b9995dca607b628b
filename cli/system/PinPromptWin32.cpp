#include "PinPrompt.h"

#include "PinPromptCommon.h"

#include <windows.h>

#include <cstring>

namespace {

void Say(const char* text)
{
    DWORD written = 0;
    ::WriteFile(::GetStdHandle(STD_ERROR_HANDLE), text, static_cast<DWORD>(std::strlen(text)), &written, nullptr);
}

// One line typed after `prompt`, without its line end (CR LF); false when
// the input ends first. The console echoes nothing while ENABLE_ECHO_INPUT is
// off, not even the line end: it is written here.
bool ReadLine(HANDLE console, const char* prompt, std::string& line)
{
    Say(prompt);
    line.clear();
    char c = 0;
    DWORD count = 0;
    while (::ReadFile(console, &c, 1, &count, nullptr) && count == 1) {
        if (c == '\n') {
            Say("\r\n");
            return true;
        }
        if (c != '\r')
            line += c;
    }
    return false;
}

}  // namespace

bool PromptNewPin(std::string& pin, std::string& error)
{
    const HANDLE console = ::GetStdHandle(STD_INPUT_HANDLE);
    DWORD mode = 0;
    if (console == INVALID_HANDLE_VALUE || console == nullptr || !::GetConsoleMode(console, &mode)) {
        error = PinPromptNoTerminal;
        return false;
    }
    ::SetConsoleMode(console, (mode & ~static_cast<DWORD>(ENABLE_ECHO_INPUT)) | ENABLE_LINE_INPUT);
    std::string again;
    const bool typed = ReadLine(console, PinPromptFirst, pin) && ReadLine(console, PinPromptAgain, again);
    ::SetConsoleMode(console, mode);
    if (!typed)
        Say("\r\n");
    return AcceptEntries(typed, pin, again, error);
}
