// The main window's controls by name: the names a driver script may use
// (tools/driver) and the names a failed test expectation prints.
#pragma once

#include "resource.h"

#include <windows.h>

#include <cstdlib>
#include <cstring>
#include <optional>

struct ControlName {
    const char* name;
    int id;
};

inline constexpr ControlName ControlNames[] = {
    {"IDOK", IDOK},
    {"IDCANCEL", IDCANCEL},
    {"IDC_PORT", IDC_PORT},
    {"IDC_DEVICE_NAME", IDC_DEVICE_NAME},
    {"IDC_FIRMWARE_VERSION", IDC_FIRMWARE_VERSION},
    {"IDC_AUTH_STATUS", IDC_AUTH_STATUS},
    {"IDC_PIN_CODE", IDC_PIN_CODE},
    {"IDC_NEW_NAME", IDC_NEW_NAME},
    {"IDC_NEW_PIN", IDC_NEW_PIN},
    {"IDC_CONFIRM_PIN", IDC_CONFIRM_PIN},
    {"IDC_AUTH_ENABLE", IDC_AUTH_ENABLE},
    {"IDC_AUTH_DISABLE", IDC_AUTH_DISABLE},
    {"IDC_EXIT", IDC_EXIT},
};

// The name of a control of the table; "?" for any other.
inline const char* ControlNameOf(int id)
{
    for (const ControlName& control : ControlNames) {
        if (control.id == id)
            return control.name;
    }
    return "?";
}

// A control by its name above or by its number.
inline std::optional<int> ParseControlId(const char* text)
{
    for (const ControlName& control : ControlNames) {
        if (std::strcmp(control.name, text) == 0)
            return control.id;
    }
    char* end = nullptr;
    const long number = std::strtol(text, &end, 0);
    if (end == text || *end != '\0' || number < 0 || number > 0xFFFF)
        return std::nullopt;
    return static_cast<int>(number);
}
