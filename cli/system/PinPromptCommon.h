// What both platforms' PIN prompts say.
#pragma once

#include "UserMessages.h"

#include <string>

inline constexpr char PinPromptFirst[] = "New PIN: ";
inline constexpr char PinPromptAgain[] = "New PIN again: ";
inline constexpr char PinPromptNoTerminal[] =
    "--pin-prompt asks on a terminal, and standard input is none: use --pin-file instead.";
inline constexpr char PinPromptEnded[] = "--pin-prompt: the input ended before a PIN was typed.";

// Two entries typed in full and the same are the PIN; otherwise false with
// what went wrong.
inline bool AcceptEntries(bool typed, const std::string& pin, const std::string& again, std::string& error)
{
    if (!typed)
        error = PinPromptEnded;
    else if (pin != again)
        error = UserMessages::PinsDiffer;
    return typed && pin == again;
}
