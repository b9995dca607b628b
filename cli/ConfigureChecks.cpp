#include "ConfigureChecks.h"

#include "NewSettings.h"

namespace {

ExitCode ExitCodeFor(SettingsProblem problem)
{
    switch (problem) {
        case SettingsProblem::NameTooLong:
            return ExitCode::NameTooLong;
        case SettingsProblem::PinTooLong:
            return ExitCode::PinTooLong;
        case SettingsProblem::PinHasSpace:
            return ExitCode::PinHasSpaces;
        case SettingsProblem::None:
            break;
    }
    return ExitCode::Success;
}

Outcome OutcomeOf(SettingsProblem problem)
{
    if (problem == SettingsProblem::None)
        return {ExitCode::Success, ""};
    return {ExitCodeFor(problem), SettingsProblemMessage(problem)};
}

}  // namespace

Outcome CheckNewConfiguration(const std::string& deviceName, const std::string& pin)
{
    SettingsProblem problem = CheckDeviceName(deviceName);
    if (problem == SettingsProblem::None)
        problem = CheckNewPin(pin);
    return OutcomeOf(problem);
}

Outcome CheckRequestedPin(const std::string& pin)
{
    return OutcomeOf(CheckNewPin(pin));
}
