// The checks a new configuration passes before anything is written to the
// device, the same as the window's and in the same order; only the first
// failure is reported.
#pragma once

#include "output/LinkOutcome.h"

#include <cstddef>
#include <string>

// `deviceName` is the name token the device reported (the command line never
// renames a device, so its own name is what the window would check); `pin` is
// the PIN that would be sent. Success, NameTooLong, PinTooLong or PinHasSpaces.
Outcome CheckNewConfiguration(const std::string& deviceName, const std::string& pin);

// The PIN given on the command line or in a plan, before any port is opened:
// Success, PinTooLong or PinHasSpaces.
Outcome CheckRequestedPin(const std::string& pin);
