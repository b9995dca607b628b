#include "ConfigureChecks.h"

#include "NewSettings.h"
#include "output/OutcomeTable.h"

Outcome CheckNewConfiguration(const std::string& deviceName, const std::string& pin)
{
    SettingsProblem problem = CheckDeviceName(deviceName);
    if (problem == SettingsProblem::None)
        problem = CheckNewPin(pin);
    return OutcomeOf(SettingsRow(problem));
}

Outcome CheckRequestedPin(const std::string& pin)
{
    return OutcomeOf(SettingsRow(CheckNewPin(pin)));
}
