// The commands and options of tolvane-cli, each written once: the parser
// (CliOptions.cpp) reads them from here, and --help (HelpText.cpp) lists them.
#pragma once

#include "common/CliOptions.h"
#include "ports/PortName.h"

#include <string>
#include <vector>

struct CommandSpec {
    CommandKind kind;
    const char* name;      // as typed: "query"
    const char* operands;  // in the usage line: "PORT", "[PORT...]"
};

// query, configure, scan and provision, in the order help lists them.
const std::vector<CommandSpec>& CommandTable();

// The set of commands that take an option.
constexpr unsigned CommandBit(CommandKind kind)
{
    return 1u << static_cast<unsigned>(kind);
}

// What an option's value is, for the completion: a choice of the words of
// its argument ("on|off"), a file name (or - for standard input), or
// something typed (a PIN, a number) that nothing can propose. A file name is
// never empty: ApplyOption refuses that for every such option.
enum class ValueKind { None, Choice, File, FileOrStdin, Typed };

// Options of one nonzero group exclude each other: each sets the same thing.
enum class OptionGroup { None, NewPin };

struct OptionSpec {
    const char* name;       // "--pin"
    const char* shortName;  // "-h", or null
    const char* argument;   // "NEW" in the usage, or null for an option without a value
    unsigned commands;      // CommandBit()s; none for --version, which stands in place of a command
    std::string help;       // its paragraph in --help and the manual page
    // Stores the option (with its value) in `options`, or says in `error`
    // why the value is refused; called by ApplyOption.
    bool (*apply)(CliOptions& options, const std::string& value, std::string& error);
    ValueKind value = ValueKind::None;
    OptionGroup group = OptionGroup::None;
    // A sentence that holds for some of its commands only (CommandBit()s of
    // noteFor): in their help after `help`, and in the help of all and the
    // manual, but not in the others', which it would only puzzle.
    std::string note = "";
    unsigned noteFor = 0;
    // Windows refuses some options (TlsFiles.cpp): its help leaves them out.
    bool onWindows = true;
};

// Every option, in the order the usage and the help list them.
const std::vector<OptionSpec>& OptionTable();

// The command called `name`, or of `kind`, or null.
const CommandSpec* FindCommand(const std::string& name);
const CommandSpec* FindCommand(CommandKind kind);

// The option called `name` (its long or short name), or null.
const OptionSpec* FindOption(const std::string& name);

// The option's help for the help of `commands` (CommandBit()s): with its
// note when one of them is the note's.
std::string OptionHelp(const OptionSpec& option, unsigned commands);

// Whether the help of a system whose ports are `style`'s lists `option`.
bool TakenOn(const OptionSpec& option, PortStyle style);

// Stores `option` with its `value` in `options`, or says in `error` why the
// value is refused.
bool ApplyOption(const OptionSpec& option, CliOptions& options, const std::string& value, std::string& error);

// The words of a ValueKind::Choice argument such as "on|off".
std::vector<std::string> ArgumentChoices(const OptionSpec& option);

// The CommandBit()s of every command of the table.
unsigned AllCommands();

// The names of the commands that take `option`, in the table's order.
std::vector<std::string> CommandNamesTaking(const OptionSpec& option);

// " (query, scan, provision)" for an option some commands take; "" for one
// that all or none take.
std::string CommandsTaking(const OptionSpec& option);

// The option that stands for a command of its own (--help, --version), by kind.
const OptionSpec& CommandOption(CommandKind kind);
