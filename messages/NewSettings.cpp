#include "NewSettings.h"

#include "UserMessages.h"

namespace {

constexpr unsigned char FirstPrintableNonSpace = 0x21;

bool HasSpaceOrControl(const std::string& pin)
{
    for (char c : pin) {
        if (static_cast<unsigned char>(c) < FirstPrintableNonSpace)
            return true;
    }
    return false;
}

}  // namespace

SettingsProblem CheckDeviceName(const std::string& name)
{
    return name.size() > MaxDeviceNameLength ? SettingsProblem::NameTooLong : SettingsProblem::None;
}

SettingsProblem CheckNewPin(const std::string& pin)
{
    if (pin.size() > MaxPinLength)
        return SettingsProblem::PinTooLong;
    if (HasSpaceOrControl(pin))
        return SettingsProblem::PinHasSpace;
    return SettingsProblem::None;
}

const char* SettingsProblemMessage(SettingsProblem problem)
{
    switch (problem) {
        case SettingsProblem::NameTooLong:
            return UserMessages::NameTooLong;
        case SettingsProblem::PinTooLong:
            return UserMessages::PinTooLong;
        case SettingsProblem::PinHasSpace:
            return UserMessages::PinHasSpace;
        case SettingsProblem::None:
            break;
    }
    return nullptr;
}
