#include "OptionTable.h"

#include "NewSettings.h"
#include "common/HelpLayout.h"
#include "output/OutcomeTable.h"
#include "output/OutputFormat.h"
#include "bench/RandomPin.h"
#include "TlsSettings.h"

namespace {

constexpr unsigned Query = CommandBit(CommandKind::Query);
constexpr unsigned Configure = CommandBit(CommandKind::Configure);
constexpr unsigned Scan = CommandBit(CommandKind::Scan);
constexpr unsigned Provision = CommandBit(CommandKind::Provision);

// Decimal digits only, at most `max` (below 100000).
bool ParseDecimal(const std::string& text, unsigned max, unsigned& number)
{
    if (text.empty() || text.size() > 5)
        return false;
    unsigned value = 0;
    for (char c : text) {
        if (c < '0' || c > '9')
            return false;
        value = value * 10 + static_cast<unsigned>(c - '0');
    }
    if (value > max)
        return false;
    number = value;
    return true;
}

bool SetHelp(CliOptions& options, const std::string&, std::string&)
{
    options.command = CommandKind::Help;
    return true;
}

// An option without a value that turns on what it names.
template <bool CliOptions::*Flag>
bool SetFlag(CliOptions& options, const std::string&, std::string&)
{
    options.*Flag = true;
    return true;
}

// A file's name, never empty (ApplyOption); the file is read or written
// when the command starts.
template <std::string CliOptions::*File>
bool SetFile(CliOptions& options, const std::string& value, std::string&)
{
    options.*File = value;
    return true;
}

bool SetAuth(CliOptions& options, const std::string& value, std::string& error)
{
    if (ParseAuthWord(value, options.auth))
        return true;
    error = "--auth takes on or off, not \"" + EscapeForText(value) + "\".";
    return false;
}

bool SetPin(CliOptions& options, const std::string& value, std::string& error)
{
    // A blank PIN field in the window means "keep the device's PIN"; here
    // that is said by leaving --pin out, so an empty one is a mistake.
    if (value.empty()) {
        error = "--pin needs a PIN; leave --pin out to keep the device's PIN.";
        return false;
    }
    switch (ParseRandomPin(value, options.randomPinDigits)) {
        case RandomPinText::Random:
            return true;
        case RandomPinText::Bad:
            error = "--pin: " + BadRandomPinMessage(value);
            return false;
        case RandomPinText::NotRandom:
            break;
    }
    options.pin = value;
    options.hasPin = true;
    return true;
}

bool SetVerifyWait(CliOptions& options, const std::string& value, std::string& error)
{
    if (ParseDecimal(value, MaxVerifyWaitMs, options.verifyWaitMs))
        return true;
    error = "--verify-wait takes milliseconds from 0 to " + std::to_string(MaxVerifyWaitMs) + ", not \"" +
            EscapeForText(value) + "\".";
    return false;
}

bool SetJobs(CliOptions& options, const std::string& value, std::string& error)
{
    unsigned jobs = 0;
    if (!ParseDecimal(value, MaxJobs, jobs) || jobs < 1) {
        error =
            "--jobs takes a number from 1 to " + std::to_string(MaxJobs) + ", not \"" + EscapeForText(value) + "\".";
        return false;
    }
    options.jobs = jobs;
    return true;
}

bool SetTlsFingerprint(CliOptions& options, const std::string& value, std::string& error)
{
    if (ParseFingerprint(value, options.tlsFingerprint))
        return true;
    error = "--tls-fingerprint takes the 64 hex digits of a SHA-256, with or without colons.";
    return false;
}

std::vector<OptionSpec> MakeOptionTable()
{
    const unsigned every = AllCommands();
    const std::string maxPin = std::to_string(MaxPinLength);
    const std::string random = RandomPinWord;
    return {
        {"--json", nullptr, nullptr, Query | Configure | Scan | Provision,
         "Print the result as JSON instead of lines for people. query and configure print one object (configure's "
         "with the keys of a provision row, a random PIN under pin); scan one array, a finished list printed once "
         "every port was asked; provision JSON Lines, one object a line as each row ends, a stream that a reader "
         "can follow while the run goes on. Text is UTF-8; a device's bytes that are not UTF-8 are U+FFFD, with the "
         "bytes in hex under the key with Hex added (nameHex).",
         SetFlag<&CliOptions::json>},
        {"--probe", nullptr, nullptr, Scan,
         "Ask every port (the named PORTs instead, if given) whether a device answers. Ports may be named only with "
         "--probe.",
         SetFlag<&CliOptions::probe>},
        {"--auth", nullptr, "on|off", Configure,
         "Set the device's authentication: on to require it, off not to. Without --auth the device keeps its own.",
         SetAuth, ValueKind::Choice},
        {"--pin", nullptr, "NEW", Configure,
         "Set the PIN to NEW, at most " + maxPin + " characters without spaces; " + random + " or " + random +
             ":N draws a PIN of " + std::to_string(DefaultRandomPinDigits) + " or N digits (" +
             std::to_string(MinRandomPinDigits) + " to " + std::to_string(MaxRandomPinDigits) +
             ") that differs from the device's, and prints it as \"pin: NEW\". Without --pin, --pin-file or "
             "--pin-prompt the device keeps its PIN. Other users of this machine can read NEW in the list of "
             "processes, and the shell keeps it in its history: prefer --pin-file.",
         SetPin, ValueKind::Typed, OptionGroup::NewPin},
        {"--pin-file", nullptr, "FILE", Configure,
         "Set the PIN to the first line of FILE, without its line end; - reads the line from standard input. FILE "
         "is a regular file that is not empty, and the PIN passes the same checks as with --pin.",
         SetFile<&CliOptions::pinFile>, ValueKind::FileOrStdin, OptionGroup::NewPin},
        {"--pin-prompt", nullptr, nullptr, Configure,
         "Ask for the new PIN twice on the terminal, without echo. Standard input must be a terminal: without one "
         "the command is refused at once.",
         SetFlag<&CliOptions::pinPrompt>, ValueKind::None, OptionGroup::NewPin},
        {"--verify", nullptr, nullptr, Configure | Provision,
         "After the write, read the device again: success only if it reports the requested settings.",
         SetFlag<&CliOptions::verify>},
        {"--verify-wait", nullptr, "MS", Configure | Provision,
         "Wait MS milliseconds, from 0 to " + std::to_string(MaxVerifyWaitMs) + " (default " +
             std::to_string(DefaultVerifyWaitMs) + "), before the read of --verify. Needs --verify.",
         SetVerifyWait, ValueKind::Typed},
        {"--transcript", nullptr, "FILE", every, "Append every byte sent to and received from each port to FILE.",
         SetFile<&CliOptions::transcript>, ValueKind::File, OptionGroup::None, "With scan, only together with --probe.",
         Scan},
        {"--jobs", nullptr, "N", Provision,
         "Work at most N rows at once, from 1 to " + std::to_string(MaxJobs) + " (default " +
             std::to_string(DefaultJobs) + ").",
         SetJobs, ValueKind::Typed},
        {"--check", nullptr, nullptr, Provision,
         "Read every device of the plan and write nothing: each row tells what would change. Exit " +
             ExitNumber(CliOutcome::Success) + " when every row could be provisioned.",
         SetFlag<&CliOptions::check>},
        {"--quiet", nullptr, nullptr, Provision,
         "Print no progress line and no summary on standard error: only the rows, and what went wrong.",
         SetFlag<&CliOptions::quiet>},
        {"--record", nullptr, "FILE", Configure | Provision,
         "Append what is done to each device to FILE, one JSON object a line.", SetFile<&CliOptions::record>,
         ValueKind::File},
        {"--resume", nullptr, nullptr, Provision,
         "Go on from the --record FILE: a row is skipped when the record's last entry for its device (the "
         "Bluetooth address, else the looked-up network endpoint, else the resolved port) is a success with the "
         "same authentication and PIN rule, whatever the plan is called now.",
         SetFlag<&CliOptions::resume>},
        {"--tls-ca", nullptr, "FILE", every,
         "Trust the certificates in FILE (PEM) instead of the system's, for socket+tls:// and rfc2217+tls://: the "
         "bench's own certificate authority.",
         SetFile<&CliOptions::tlsCa>, ValueKind::File},
        {"--tls-fingerprint", nullptr, "SHA256", every,
         "Accept exactly the server certificate whose SHA-256 (of its DER form) is SHA256, in hex with or without "
         "colons; nothing else of it is then checked: not the host it names, its authority, its dates nor its "
         "key's strength.",
         SetTlsFingerprint, ValueKind::Typed},
        {"--tls-cert", nullptr, "FILE", every,
         "Present the client certificate in FILE to a server that asks for one: on Linux a PEM file, with its key "
         "in --tls-key; on Windows a PKCS#12 file (.p12, without a passphrase) that holds the key too. It goes only "
         "to a server that passed the check.",
         SetFile<&CliOptions::tlsCert>, ValueKind::File},
        {"--tls-key", nullptr, "FILE", every,
         "On Linux, the private key of --tls-cert (PEM, without a passphrase); a file only its owner can read.",
         SetFile<&CliOptions::tlsKey>, ValueKind::File, OptionGroup::None, "", 0, false},
        {"--help", "-h", nullptr, every | CommandBit(CommandKind::Version), "Print the help and exit.", SetHelp},
        {"--version", "-V", nullptr, 0, "Print the version and exit.", nullptr},
    };
}

}  // namespace

const std::vector<CommandSpec>& CommandTable()
{
    static const std::vector<CommandSpec> commands = {
        {CommandKind::Query, "query", "PORT"},
        {CommandKind::Configure, "configure", "PORT"},
        {CommandKind::Scan, "scan", "[PORT...]"},
        {CommandKind::Provision, "provision", "PLAN"},
    };
    return commands;
}

const std::vector<OptionSpec>& OptionTable()
{
    static const std::vector<OptionSpec> options = MakeOptionTable();
    return options;
}

const CommandSpec* FindCommand(const std::string& name)
{
    for (const CommandSpec& command : CommandTable()) {
        if (name == command.name)
            return &command;
    }
    return nullptr;
}

const CommandSpec* FindCommand(CommandKind kind)
{
    for (const CommandSpec& command : CommandTable()) {
        if (command.kind == kind)
            return &command;
    }
    return nullptr;
}

const OptionSpec* FindOption(const std::string& name)
{
    for (const OptionSpec& option : OptionTable()) {
        if (name == option.name || (option.shortName != nullptr && name == option.shortName))
            return &option;
    }
    return nullptr;
}

const OptionSpec& CommandOption(CommandKind kind)
{
    return *FindOption(kind == CommandKind::Help ? "--help" : "--version");
}

unsigned AllCommands()
{
    unsigned all = 0;
    for (const CommandSpec& command : CommandTable())
        all |= CommandBit(command.kind);
    return all;
}

std::vector<std::string> CommandNamesTaking(const OptionSpec& option)
{
    std::vector<std::string> names;
    for (const CommandSpec& command : CommandTable())
        if ((option.commands & CommandBit(command.kind)) != 0)
            names.emplace_back(command.name);
    return names;
}

std::string CommandsTaking(const OptionSpec& option)
{
    const std::vector<std::string> names = CommandNamesTaking(option);
    if (names.empty() || names.size() == CommandTable().size())
        return "";
    return " (" + JoinWords(names) + ")";
}

std::string OptionHelp(const OptionSpec& option, unsigned commands)
{
    return (option.commands & option.noteFor & commands) != 0 ? option.help + " " + option.note : option.help;
}

bool TakenOn(const OptionSpec& option, PortStyle style)
{
    return style != PortStyle::Windows || option.onWindows;
}

bool ApplyOption(const OptionSpec& option, CliOptions& options, const std::string& value, std::string& error)
{
    const bool file = option.value == ValueKind::File || option.value == ValueKind::FileOrStdin;
    if (file && value.empty()) {
        error = std::string(option.name) + " needs a file name" +
                (option.value == ValueKind::FileOrStdin ? ", or - for standard input" : "") + ".";
        return false;
    }
    return option.apply(options, value, error);
}

std::vector<std::string> ArgumentChoices(const OptionSpec& option)
{
    std::vector<std::string> choices;
    if (option.argument == nullptr)
        return choices;
    std::string rest = option.argument;
    for (std::size_t bar = rest.find('|');; bar = rest.find('|')) {
        choices.push_back(rest.substr(0, bar));
        if (bar == std::string::npos)
            return choices;
        rest.erase(0, bar + 1);
    }
}
