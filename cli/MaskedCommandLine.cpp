#include "MaskedCommandLine.h"

#include "OptionTable.h"

namespace {

constexpr char Mask[] = "***";

bool CarriesPin(const std::string& name)
{
    return FindOption(name) == FindOption("--pin");
}

}  // namespace

// A value follows "--pin" as the next argument, or after "=" in the same;
// after "--" nothing is an option any more.
std::string CommandLineWithoutPins(const std::vector<std::string>& arguments)
{
    std::string line;
    bool pinNext = false, optionsDone = false;
    for (const std::string& argument : arguments) {
        std::string shown = argument;
        const std::size_t equals = argument.find('=');
        if (pinNext)
            shown = Mask;
        else if (!optionsDone && equals != std::string::npos && CarriesPin(argument.substr(0, equals)))
            shown = argument.substr(0, equals + 1) + Mask;
        pinNext = !pinNext && !optionsDone && CarriesPin(argument);
        optionsDone = optionsDone || argument == "--";
        line += (line.empty() ? "" : " ") + shown;
    }
    return line;
}
