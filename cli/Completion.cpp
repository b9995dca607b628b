#include "Completion.h"

#include "ArgumentParser.h"
#include "bench/RandomPin.h"
#include "OptionTable.h"
#include "PortAddress.h"

#include <algorithm>

namespace {

// What the command line after `command` holds so far.
struct Given {
    std::vector<const OptionSpec*> options;
    std::size_t operands = 0;
    bool optionsDone = false;  // after "--"

    bool Has(const OptionSpec& option) const
    {
        return std::find(options.begin(), options.end(), &option) != options.end();
    }
};

Given ReadGiven(const std::vector<std::string>& words, std::size_t end)
{
    Given given;
    for (std::size_t i = 1; i < end; ++i) {
        const std::string& word = words[i];
        if (!given.optionsDone && word == "--") {
            given.optionsDone = true;
        } else if (!given.optionsDone && word.size() > 1 && word[0] == '-') {
            const OptionSpec* option = FindOption(word.substr(0, word.find('=')));
            if (option != nullptr)
                given.options.push_back(option);
            if (option != nullptr && option->argument != nullptr && word.find('=') == std::string::npos)
                ++i;  // its value
        } else {
            ++given.operands;
        }
    }
    return given;
}

// "--json<TAB>Print the result as JSON instead of lines for people.": an
// option and the first sentence of its help, which zsh and fish show beside
// it (bash shows the name alone).
std::string Described(const OptionSpec& option)
{
    const std::size_t end = option.help.find(". ");
    return std::string(option.name) + '\t' + option.help.substr(0, end == std::string::npos ? end : end + 1);
}

// An option the command takes and the line may still have.
bool Offered(const OptionSpec& option, const CommandSpec& command, const Given& given)
{
    if ((option.commands & CommandBit(command.kind)) == 0 || (option.argument != nullptr && given.Has(option)))
        return false;
    for (const OptionSpec* other : given.options) {
        if (option.group != OptionGroup::None && other != &option && other->group == option.group)
            return false;
    }
    return true;
}

std::vector<std::string> Operands(const CommandSpec& command, const Given& given, const std::vector<std::string>& ports)
{
    std::vector<std::string> operands;
    switch (command.kind) {
        case CommandKind::Provision:
            if (given.operands == 0)
                operands.push_back(CompleteFiles);
            return operands;
        case CommandKind::Scan:
            // Ports are named to a scan only with --probe.
            if (!given.Has(*FindOption("--probe")))
                return operands;
            break;
        case CommandKind::Query:
        case CommandKind::Configure:
            if (given.operands > 0)
                return operands;
            break;
        case CommandKind::Help:
        case CommandKind::Version:
            return operands;
    }
    // A port is also any path: /dev/serial/by-id/..., a symlink, a pty.
    operands = ports;
    const std::vector<std::string> schemes = AddressSchemes();
    operands.insert(operands.end(), schemes.begin(), schemes.end());
    operands.push_back(CompleteFiles);
    return operands;
}

std::vector<std::string> ForCommand(const CommandSpec& command, const std::vector<std::string>& words,
                                    const std::vector<std::string>& ports)
{
    const std::string& current = words.back();
    const Given given = ReadGiven(words, words.size() - 1);
    // The value of the option before the current word.
    if (words.size() > 2 && !given.optionsDone) {
        const std::string& previous = words[words.size() - 2];
        const OptionSpec* option = FindOption(previous);
        if (option != nullptr && option->argument != nullptr && (option->commands & CommandBit(command.kind))) {
            switch (option->value) {
                case ValueKind::Choice:
                    return ArgumentChoices(*option);
                case ValueKind::File:
                case ValueKind::FileOrStdin:
                    return {CompleteFiles};
                case ValueKind::Typed:
                    // A PIN is typed, or drawn: random, random:N.
                    if (option == FindOption("--pin"))
                        return {RandomPinWord, std::string(RandomPinWord) + ":"};
                    return {};
                case ValueKind::None:
                    return {};
            }
        }
    }
    if (!given.optionsDone && !current.empty() && current[0] == '-') {
        std::vector<std::string> names;
        for (const OptionSpec& option : OptionTable()) {
            if (Offered(option, command, given))
                names.push_back(Described(option));
        }
        return names;
    }
    return Operands(command, given, ports);
}

std::vector<std::string> Candidates(const std::vector<std::string>& words, const std::vector<std::string>& ports)
{
    std::vector<std::string> commands;
    for (const CommandSpec& command : CommandTable())
        commands.emplace_back(command.name);
    if (words.size() == 1) {
        if (!words[0].empty() && words[0][0] == '-')
            return {Described(CommandOption(CommandKind::Help)), Described(CommandOption(CommandKind::Version))};
        commands.emplace_back("help");
        return commands;
    }
    if (words[0] == "help")
        return words.size() == 2 ? commands : std::vector<std::string>();
    // Options before the command's name count as after it, as the parser
    // reads them; before it is named, the command is what comes next.
    std::vector<std::string> line = CommandFirst({words.begin(), words.end() - 1});
    line.push_back(words.back());
    if (const CommandSpec* command = FindCommand(line[0]))
        return ForCommand(*command, line, ports);
    const bool allOptions = std::all_of(line.begin(), line.end() - 1, [](const std::string& word) {
        return word.size() > 1 && word[0] == '-' && word != "--";
    });
    return allOptions && (words.back().empty() || words.back()[0] != '-') ? commands : std::vector<std::string>();
}

}  // namespace

std::string CompletionCandidates(const std::vector<std::string>& words, const std::vector<std::string>& ports)
{
    if (words.empty())
        return "";
    const std::string& current = words.back();
    std::string lines;
    bool files = false;
    for (const std::string& candidate : Candidates(words, ports)) {
        if (candidate == CompleteFiles)
            files = true;
        else if (candidate.compare(0, current.size(), current) == 0)
            lines += candidate + "\n";
    }
    return files ? lines + CompleteFiles + "\n" : lines;
}
