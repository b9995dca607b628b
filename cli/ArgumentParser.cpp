#include "ArgumentParser.h"

#include "common/HelpLayout.h"
#include "common/MessageLines.h"
#include "common/NearestWord.h"
#include "OptionTable.h"
#include "output/OutputFormat.h"

#include <cstddef>

namespace {

// A hint line for a slip: "\nhint: did you mean 'provision'?", or nothing.
std::string DidYouMean(const std::string& typed, const std::vector<std::string>& words)
{
    const std::string nearest = NearestWord(typed, words);
    return nearest.empty() ? "" : "\n" + std::string(HintPrefix) + "did you mean '" + nearest + "'?";
}

std::vector<std::string> OptionNames()
{
    std::vector<std::string> names;
    for (const OptionSpec& option : OptionTable())
        names.emplace_back(option.name);
    return names;
}

std::vector<std::string> CommandWords()
{
    std::vector<std::string> names = {"help", "version"};
    for (const CommandSpec& command : CommandTable())
        names.emplace_back(command.name);
    return names;
}

// One command's line as it is read: options and their values, then the
// positional arguments once "--" or the options are done.
class ArgumentReader {
public:
    ArgumentReader(const std::vector<std::string>& args, const CommandSpec& command)
        : m_args(args), m_command(command), m_given(OptionTable().size(), false)
    {
        m_result.options.command = command.kind;
    }

    ParsedArguments Read();

private:
    bool ReadOption(const std::string& arg);
    bool TakeValue(const std::string& name, bool hasInlineValue, const std::string& inlineValue, std::string& value);
    bool Given(const char* name) const;
    bool CheckGroup(OptionGroup group, const char* why);
    std::size_t GivenOfGroup(OptionGroup group, std::vector<std::string>& names) const;
    bool CheckSomethingToChange();
    bool CheckPositionals();
    bool Fail(const std::string& error);

    const std::vector<std::string>& m_args;
    const CommandSpec& m_command;
    std::size_t m_next = 1;  // m_args[0] is the command
    std::vector<std::string> m_positionals;
    std::vector<bool> m_given;  // by place in OptionTable()
    ParsedArguments m_result;
};

bool ArgumentReader::Fail(const std::string& error)
{
    m_result.ok = false;
    m_result.error = error;
    return false;
}

ParsedArguments ArgumentReader::Read()
{
    bool optionsDone = false;
    while (m_next < m_args.size()) {
        const std::string& arg = m_args[m_next++];
        if (!optionsDone && arg == "--") {
            optionsDone = true;
        } else if (!optionsDone && arg.size() > 1 && arg[0] == '-') {
            if (!ReadOption(arg))
                return m_result;
            if (m_result.options.command == CommandKind::Help) {
                m_result.options.helpFor = m_command.kind;
                break;
            }
        } else {
            m_positionals.push_back(arg);
        }
    }
    if (m_result.options.command != CommandKind::Help && !CheckPositionals())
        return m_result;
    m_result.ok = true;
    return m_result;
}

// A value that starts with "--" is an option the user meant, not a value:
// "--pin --verify" must not set the PIN "--verify".
bool ArgumentReader::TakeValue(const std::string& name, bool hasInlineValue, const std::string& inlineValue,
                               std::string& value)
{
    if (!hasInlineValue && m_next >= m_args.size())
        return Fail(name + " needs a value.");
    value = hasInlineValue ? inlineValue : m_args[m_next++];
    if (value.compare(0, 2, "--") == 0)
        return Fail(name + " needs a value, and \"" + EscapeForText(value) +
                    "\" is none: a value never starts with --.");
    return true;
}

bool ArgumentReader::Given(const char* name) const
{
    return m_given[static_cast<std::size_t>(FindOption(name) - OptionTable().data())];
}

bool ArgumentReader::ReadOption(const std::string& arg)
{
    const std::size_t equals = arg.find('=');
    const bool hasInlineValue = arg.compare(0, 2, "--") == 0 && equals != std::string::npos;
    const std::string name = hasInlineValue ? arg.substr(0, equals) : arg;
    const std::string inlineValue = hasInlineValue ? arg.substr(equals + 1) : std::string();

    const OptionSpec* option = FindOption(name);
    if (option == nullptr)
        return Fail("Unknown option " + EscapeForText(name) + " for this command." + DidYouMean(name, OptionNames()));
    if ((option->commands & CommandBit(m_command.kind)) == 0) {
        const std::vector<std::string> takers = CommandNamesTaking(*option);
        if (takers.empty())
            return Fail(name + " stands alone, without a command.");
        return Fail(std::string(m_command.name) + " takes no " + name + ": " + JoinWords(takers, " and ") +
                    (takers.size() == 1 ? " does." : " do."));
    }
    const std::size_t place = static_cast<std::size_t>(option - OptionTable().data());
    std::string value, error;
    if (option->argument == nullptr && hasInlineValue && option != &CommandOption(CommandKind::Help))
        return Fail(name + " takes no value.");
    // An option without a value may be repeated; one with a value may not,
    // as which of two values counts would be a guess.
    if (option->argument != nullptr) {
        if (m_given[place])
            return Fail(name + " is given more than once.");
        if (!TakeValue(name, hasInlineValue, inlineValue, value))
            return false;
    }
    if (!ApplyOption(*option, m_result.options, value, error))
        return Fail(error);
    m_given[place] = true;
    return true;
}

// How many options of `group` were given, and their names.
std::size_t ArgumentReader::GivenOfGroup(OptionGroup group, std::vector<std::string>& names) const
{
    std::size_t given = 0;
    for (std::size_t place = 0; place < OptionTable().size(); ++place) {
        if (OptionTable()[place].group != group)
            continue;
        names.emplace_back(OptionTable()[place].name);
        given += m_given[place] ? 1 : 0;
    }
    return given;
}

// At most one option of `group` given; else says why, naming them all.
bool ArgumentReader::CheckGroup(OptionGroup group, const char* why)
{
    std::vector<std::string> names;
    if (GivenOfGroup(group, names) <= 1)
        return true;
    return Fail("Only one of " + JoinWords(names, " and ") + " may be given: " + why + ".");
}

// configure writes the settings it is given: with none it would write the
// device's own back and say it configured something.
bool ArgumentReader::CheckSomethingToChange()
{
    std::vector<std::string> pinOptions;
    if (m_result.options.auth != KeepDeviceAuth || GivenOfGroup(OptionGroup::NewPin, pinOptions) > 0)
        return true;
    return Fail("configure has nothing to change: give --auth, or a new PIN with " + JoinWords(pinOptions, " or ") +
                ".");
}

bool ArgumentReader::CheckPositionals()
{
    CliOptions& options = m_result.options;
    if (Given("--verify-wait") && !options.verify)
        return Fail("--verify-wait needs --verify.");
    if (!CheckGroup(OptionGroup::NewPin, "one PIN is set"))
        return false;
    if (options.resume && options.record.empty())
        return Fail("--resume needs --record: the record tells which rows were done.");
    if (options.check && !options.record.empty())
        return Fail("--check writes nothing, so it has nothing to record: leave out --record.");
    if (!options.transcript.empty() && options.command == CommandKind::Scan && !options.probe)
        return Fail("--transcript needs --probe: a scan without it sends nothing.");
    switch (options.command) {
        case CommandKind::Query:
        case CommandKind::Configure:
            if (m_positionals.size() != 1)
                return Fail(m_positionals.empty() ? "A port is needed." : "Only one port may be given.");
            options.port = m_positionals.front();
            if (options.command == CommandKind::Configure && !CheckSomethingToChange())
                return false;
            break;
        case CommandKind::Scan:
            if (!m_positionals.empty() && !options.probe)
                return Fail("Ports may be named to scan only with --probe.");
            options.ports = m_positionals;
            break;
        case CommandKind::Provision:
            if (m_positionals.size() != 1)
                return Fail(m_positionals.empty() ? "A plan is needed: a CSV file, or - for standard input."
                                                  : "Only one plan may be given.");
            options.plan = m_positionals.front();
            break;
        case CommandKind::Help:
        case CommandKind::Version:
            if (!m_positionals.empty())
                return Fail("Unexpected argument \"" + EscapeForText(m_positionals.front()) + "\".");
            break;
    }
    return true;
}

// "query, configure, scan or provision".
std::string CommandNames()
{
    std::vector<std::string> names;
    for (const CommandSpec& command : CommandTable())
        names.emplace_back(command.name);
    return JoinWords(names, " or ");
}

// Windows programs take /? for help; there a port or a file is never named so.
std::vector<std::string> WithPlatformHelp(std::vector<std::string> args)
{
#ifdef _WIN32
    for (std::string& arg : args) {
        if (arg == "--")
            break;
        if (arg == "/?")
            arg = CommandOption(CommandKind::Help).name;
    }
#endif
    return args;
}

}  // namespace

std::vector<std::string> CommandFirst(const std::vector<std::string>& args)
{
    std::size_t place = 0;
    while (place < args.size() && args[place].size() > 1 && args[place][0] == '-' && args[place] != "--") {
        const std::string& arg = args[place];
        const std::size_t equals = arg.find('=');
        const OptionSpec* option = FindOption(arg.substr(0, equals));
        if (option == &CommandOption(CommandKind::Version))
            return {args.begin() + static_cast<std::ptrdiff_t>(place), args.end()};
        if (option == &CommandOption(CommandKind::Help))
            return args;
        const bool takesNextValue = option != nullptr && option->argument != nullptr && equals == std::string::npos;
        place += takesNextValue ? 2 : 1;
    }
    if (place == 0 || place >= args.size() || FindCommand(args[place]) == nullptr)
        return args;
    std::vector<std::string> reordered = {args[place]};
    reordered.insert(reordered.end(), args.begin(), args.begin() + static_cast<std::ptrdiff_t>(place));
    reordered.insert(reordered.end(), args.begin() + static_cast<std::ptrdiff_t>(place) + 1, args.end());
    return reordered;
}

ParsedArguments ParseArguments(const std::vector<std::string>& givenArgs)
{
    const std::vector<std::string> args = CommandFirst(WithPlatformHelp(givenArgs));
    ParsedArguments result;
    if (args.empty()) {
        result.error = "A command is needed: " + CommandNames() + ".";
        return result;
    }
    const std::string& first = args.front();
    if (const CommandSpec* command = FindCommand(first))
        return ArgumentReader(args, *command).Read();
    const OptionSpec* option = FindOption(first);
    if (first == "help" || option == &CommandOption(CommandKind::Help)) {
        // help all: the whole text; help COMMAND: that command's help.
        if (first == "help" && args.size() > 1 && args[1] == "all") {
            result.options.fullHelp = true;
        } else if (first == "help" && args.size() > 1) {
            const CommandSpec* command = FindCommand(args[1]);
            if (command == nullptr) {
                result.error = "Unknown command \"" + EscapeForText(args[1]) + "\": use " + CommandNames() + "." +
                               DidYouMean(args[1], CommandWords());
                return result;
            }
            result.options.helpFor = command->kind;
        }
        result.ok = true;
        result.options.command = CommandKind::Help;
        return result;
    }
    // "version" as git takes it, beside --version and -V.
    if (first == "version" || option == &CommandOption(CommandKind::Version)) {
        static const CommandSpec version = {CommandKind::Version, "", ""};
        return ArgumentReader(args, version).Read();
    }
    result.error = "Unknown command \"" + EscapeForText(first) + "\": use " + CommandNames() + "." +
                   DidYouMean(first, CommandWords());
    return result;
}
