#include "Win32Errors.h"

#include <windows.h>

#include <algorithm>

std::string SystemText(unsigned long error)
{
    char text[512] = {};
    const DWORD length = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, NULL, error, 0,
                                        text, sizeof text, NULL);
    std::string words(text, std::min<std::size_t>(length, sizeof text - 1));
    while (!words.empty() && (words.back() == '\r' || words.back() == '\n' || words.back() == ' '))
        words.pop_back();
    return words;
}

PortResult Win32Failure(LinkResult outcome, PortOperation operation, unsigned long error)
{
    return PortFailed(outcome, operation, static_cast<long>(error), error != 0 ? SystemText(error) : std::string());
}
