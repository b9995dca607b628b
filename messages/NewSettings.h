// The checks a new configuration passes before anything is written to the
// device. The window and the command line run them in the same order.
#pragma once

#include <cstddef>
#include <string>

inline constexpr std::size_t MaxDeviceNameLength = 20;  // characters
inline constexpr std::size_t MaxPinLength = 12;         // characters

enum class SettingsProblem { None, NameTooLong, PinTooLong, PinHasSpace };

// The name that would be kept: at most MaxDeviceNameLength characters.
SettingsProblem CheckDeviceName(const std::string& name);

// The PIN that would be sent: its length first, then no space or other
// character below 0x21 (the device splits the command at spaces, so "12 34"
// would set the PIN to "12").
SettingsProblem CheckNewPin(const std::string& pin);

// The message for a problem, or null for None.
const char* SettingsProblemMessage(SettingsProblem problem);
