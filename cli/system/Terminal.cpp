#include "Terminal.h"

#ifdef _WIN32
#include <windows.h>

namespace {

// Only a console has a console mode; NUL, which _isatty counts as a
// character device, has none.
bool IsConsole(DWORD stream)
{
    DWORD mode = 0;
    return GetConsoleMode(GetStdHandle(stream), &mode) != 0;
}

}  // namespace

bool StandardErrorIsTerminal()
{
    return IsConsole(STD_ERROR_HANDLE);
}

bool StandardOutputIsTerminal()
{
    return IsConsole(STD_OUTPUT_HANDLE);
}
#else
#include <unistd.h>

bool StandardErrorIsTerminal()
{
    return isatty(STDERR_FILENO) == 1;
}

bool StandardOutputIsTerminal()
{
    return isatty(STDOUT_FILENO) == 1;
}
#endif
