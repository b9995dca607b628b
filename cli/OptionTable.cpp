#include "OptionTable.h"

#include "NewSettings.h"
#include "OutputFormat.h"
#include "RandomPin.h"
#include "TlsSettings.h"

namespace {

constexpr unsigned Query = CommandBit(CommandKind::Query);
constexpr unsigned Configure = CommandBit(CommandKind::Configure);
constexpr unsigned Scan = CommandBit(CommandKind::Scan);
constexpr unsigned Provision = CommandBit(CommandKind::Provision);
constexpr unsigned EveryCommand = Query | Configure | Scan | Provision;

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

bool SetJson(CliOptions& options, const std::string&, std::string&)
{
    options.json = true;
    return true;
}

bool SetProbe(CliOptions& options, const std::string&, std::string&)
{
    options.probe = true;
    return true;
}

bool SetVerify(CliOptions& options, const std::string&, std::string&)
{
    options.verify = true;
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

bool SetPinFile(CliOptions& options, const std::string& value, std::string& error)
{
    if (value.empty()) {
        error = "--pin-file needs a file name, or - for standard input.";
        return false;
    }
    options.pinFile = value;
    return true;
}

bool SetPinPrompt(CliOptions& options, const std::string&, std::string&)
{
    options.pinPrompt = true;
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

bool SetTranscript(CliOptions& options, const std::string& value, std::string& error)
{
    if (value.empty()) {
        error = "--transcript needs a file name.";
        return false;
    }
    options.transcript = value;
    return true;
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

bool SetCheck(CliOptions& options, const std::string&, std::string&)
{
    options.check = true;
    return true;
}

bool SetRecord(CliOptions& options, const std::string& value, std::string& error)
{
    if (value.empty()) {
        error = "--record needs a file name.";
        return false;
    }
    options.record = value;
    return true;
}

bool SetResume(CliOptions& options, const std::string&, std::string&)
{
    options.resume = true;
    return true;
}

// --tls-ca, --tls-cert, --tls-key: a file name, read when the command starts.
bool SetTlsFile(std::string& file, const char* option, const std::string& value, std::string& error)
{
    if (value.empty()) {
        error = std::string(option) + " needs a file name.";
        return false;
    }
    file = value;
    return true;
}

bool SetTlsCa(CliOptions& options, const std::string& value, std::string& error)
{
    return SetTlsFile(options.tlsCa, "--tls-ca", value, error);
}

bool SetTlsCert(CliOptions& options, const std::string& value, std::string& error)
{
    return SetTlsFile(options.tlsCert, "--tls-cert", value, error);
}

bool SetTlsKey(CliOptions& options, const std::string& value, std::string& error)
{
    return SetTlsFile(options.tlsKey, "--tls-key", value, error);
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
    const std::string maxPin = std::to_string(MaxPinLength);
    return {
        {"--json", nullptr, nullptr, Query | Scan | Provision, false,
         "Print the result as JSON instead of lines for people.", SetJson},
        {"--probe", nullptr, nullptr, Scan, false,
         "Ask every port (the named PORTs instead, if given) whether a device answers. Ports may be named only with "
         "--probe.",
         SetProbe},
        {"--auth", nullptr, "on|off", Configure, false,
         "Set the device's authentication: on to require it, off not to. Without --auth the device keeps its own.",
         SetAuth, ValueKind::Choice},
        {"--pin", nullptr, "NEW", Configure, false,
         "Set the PIN to NEW, at most " + maxPin +
             " characters without spaces; random or random:N draws a PIN of 6 or N digits (4 to 12) that differs "
             "from the device's, and prints it as \"pin: NEW\". Without --pin, --pin-file or --pin-prompt the device "
             "keeps its PIN. Other users of this "
             "machine can read NEW in the list of processes, and the shell keeps it in its history: prefer "
             "--pin-file.",
         SetPin, ValueKind::Typed, OptionGroup::NewPin},
        {"--pin-file", nullptr, "FILE", Configure, false,
         "Set the PIN to the first line of FILE, without its line end; - reads the line from standard input. FILE "
         "is a regular file that is not empty, and the PIN passes the same checks as with --pin.",
         SetPinFile, ValueKind::File, OptionGroup::NewPin},
        {"--pin-prompt", nullptr, nullptr, Configure, false,
         "Ask for the new PIN twice on the terminal, without echo. Standard input must be a terminal: without one "
         "the command is refused at once.",
         SetPinPrompt, ValueKind::None, OptionGroup::NewPin},
        {"--verify", nullptr, nullptr, Configure | Provision, false,
         "After the write, read the device again: success only if it reports the requested settings.", SetVerify},
        {"--verify-wait", nullptr, "MS", Configure | Provision, false,
         "Wait MS milliseconds, from 0 to " + std::to_string(MaxVerifyWaitMs) + " (default " +
             std::to_string(DefaultVerifyWaitMs) + "), before the read of --verify. Needs --verify.",
         SetVerifyWait, ValueKind::Typed},
        {"--transcript", nullptr, "FILE", EveryCommand, false,
         "Append every byte sent to and received from each port to FILE (--help tells the format). With scan, only "
         "together "
         "with --probe.",
         SetTranscript, ValueKind::File},
        {"--jobs", nullptr, "N", Provision, false,
         "Work at most N rows at once, from 1 to " + std::to_string(MaxJobs) + " (default " +
             std::to_string(DefaultJobs) + ").",
         SetJobs, ValueKind::Typed},
        {"--check", nullptr, nullptr, Provision, false,
         "Read every device of the plan and write nothing: each row tells what would change. Exit 0 when every "
         "row could be provisioned.",
         SetCheck},
        {"--record", nullptr, "FILE", Configure | Provision, false,
         "Append what is done to each device to FILE, one JSON object a line (see below).", SetRecord, ValueKind::File},
        {"--resume", nullptr, nullptr, Provision, false,
         "Go on with the last run of the same plan in the --record FILE: rows that succeeded there are skipped.",
         SetResume},
        {"--tls-ca", nullptr, "FILE", EveryCommand, false,
         "Trust the certificates in FILE (PEM) instead of the system's, for socket+tls:// and rfc2217+tls://: the "
         "bench's own certificate authority.",
         SetTlsCa, ValueKind::File},
        {"--tls-fingerprint", nullptr, "SHA256", EveryCommand, false,
         "Accept exactly the server certificate whose SHA-256 (of its DER form) is SHA256, in hex with or without "
         "colons; the host name is then not checked.",
         SetTlsFingerprint, ValueKind::Typed},
        {"--tls-cert", nullptr, "FILE", EveryCommand, false,
         "Present the client certificate in FILE to a server that asks for one: on Linux a PEM file, with its key "
         "in --tls-key; on Windows a PKCS#12 file (.p12, without a passphrase) that holds the key too.",
         SetTlsCert, ValueKind::File},
        {"--tls-key", nullptr, "FILE", EveryCommand, false,
         "On Linux, the private key of --tls-cert (PEM, without a passphrase); a file only its owner can read.",
         SetTlsKey, ValueKind::File},
        {"--help", "-h", nullptr, EveryCommand | CommandBit(CommandKind::Version), false, "Print this text and exit.",
         SetHelp},
        {"--version", nullptr, nullptr, 0, false, "Print the version and exit.", nullptr},
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

std::string CommandsTaking(const OptionSpec& option)
{
    std::string names;
    std::size_t count = 0;
    for (const CommandSpec& command : CommandTable()) {
        if ((option.commands & CommandBit(command.kind)) != 0) {
            names += std::string(names.empty() ? "" : ", ") + command.name;
            ++count;
        }
    }
    return count == 0 || count == CommandTable().size() ? "" : " (" + names + ")";
}

std::vector<std::string> ArgumentChoices(const OptionSpec& option)
{
    std::vector<std::string> choices;
    std::string rest = option.argument != nullptr ? option.argument : "";
    for (std::size_t bar = rest.find('|');; bar = rest.find('|')) {
        choices.push_back(rest.substr(0, bar));
        if (bar == std::string::npos)
            return choices;
        rest.erase(0, bar + 1);
    }
}
