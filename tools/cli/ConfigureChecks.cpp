#include "ConfigureChecks.h"

#include "CliTexts.h"

namespace {

// The device splits the configure command at spaces, so a PIN "12 34" would
// set the PIN to "12". Other control characters are refused with it: none of
// them can be typed back reliably.
bool HasSpaceOrControl(const std::string& pin)
{
    for (char c : pin) {
        if (static_cast<unsigned char>(c) < 0x21)
            return true;
    }
    return false;
}

}  // namespace

Outcome CheckNewConfiguration(const std::string& deviceName, const std::string& pin)
{
    if (deviceName.size() > MaxNameLength)
        return {ExitCode::NameTooLong, CliText::NameTooLong};
    if (pin.size() > MaxPinLength)
        return {ExitCode::PinTooLong, CliText::PinTooLong};
    if (HasSpaceOrControl(pin))
        return {ExitCode::PinHasSpaces, CliText::PinHasSpaces};
    return {ExitCode::Success, ""};
}
