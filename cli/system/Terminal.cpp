#include "Terminal.h"

#ifdef _WIN32
#include <windows.h>

// Only a console has a console mode; NUL, which _isatty counts as a
// character device, has none.
bool StandardErrorIsTerminal()
{
    DWORD mode = 0;
    return GetConsoleMode(GetStdHandle(STD_ERROR_HANDLE), &mode) != 0;
}
#else
#include <unistd.h>

bool StandardErrorIsTerminal()
{
    return isatty(STDERR_FILENO) == 1;
}
#endif
