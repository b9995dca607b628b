// The predefined control classes: the ordinal a template names them by and
// the class name a running control reports.
#pragma once

#include <cstdint>

constexpr std::uint16_t ButtonClass = 0x0080;
constexpr std::uint16_t EditClass = 0x0081;
constexpr std::uint16_t StaticClass = 0x0082;
constexpr std::uint16_t ComboBoxClass = 0x0085;

inline const char* ClassName(std::uint16_t ordinal)
{
    switch (ordinal) {
        case ButtonClass:
            return "Button";
        case EditClass:
            return "Edit";
        case StaticClass:
            return "Static";
        case ComboBoxClass:
            return "ComboBox";
        default:
            return "?";
    }
}
