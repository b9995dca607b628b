#include "HelpText.h"

#include "common/CliOptions.h"
#include "CommandHelp.h"
#include "common/HelpLayout.h"
#include "OptionTable.h"
#include "output/OutcomeTable.h"
#include "PortAddress.h"
#include "bench/RunRecord.h"
#include "TranscriptHelp.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <vector>

namespace {

std::string OptionForm(const OptionSpec& option)
{
    return std::string(option.name) + (option.argument != nullptr ? std::string(" ") + option.argument : "");
}

// "tolvane-cli query PORT [--json] [--transcript FILE]": the command, its
// operands and the options it takes on this system.
std::string UsageForm(const CommandSpec& command, PortStyle style)
{
    std::string form = std::string("tolvane-cli ") + command.name + " " + command.operands;
    for (const OptionSpec& option : OptionTable()) {
        if (&option == &CommandOption(CommandKind::Help) || (option.commands & CommandBit(command.kind)) == 0 ||
            !TakenOn(option, style))
            continue;
        form += " [" + OptionForm(option) + "]";
    }
    return form;
}

// GNU's layout: the first form after "Usage:", each further one after
// "  or:", one line each.
std::string UsageLines(PortStyle style)
{
    std::string usage;
    for (const CommandSpec& command : CommandTable())
        usage += std::string(usage.empty() ? "Usage: " : "  or:  ") + UsageForm(command, style) + "\n";
    return usage + "  or:  tolvane-cli " + CommandOption(CommandKind::Help).name + " | " +
           CommandOption(CommandKind::Version).name + "\n" + "  or:  tolvane-cli COMMAND " +
           CommandOption(CommandKind::Help).name + "\n";
}

// The options whose files --help tells in a section of their own, after the
// options, and the sections.
struct FileSection {
    const char* option;
    std::string (*text)();
};

const FileSection FileSections[] = {
    {"--transcript", TranscriptHelpText},
    {"--record", [] { return std::string(RecordHelpText); }},
};

bool HasFileSection(const OptionSpec& option)
{
    for (const FileSection& section : FileSections) {
        if (std::string(option.name) == section.option)
            return true;
    }
    return false;
}

// "  -h, --help         Print the help and exit.", as the help of `commands`
// tells it, with `more` after the help.
std::string OptionLine(const OptionSpec& option, unsigned commands, const std::string& more)
{
    std::string label = "  ";
    if (option.shortName != nullptr)
        label += std::string(option.shortName) + ", ";
    label += OptionForm(option);
    label.resize(std::max(label.size() + 2, OptionTextColumn), ' ');
    return Wrap(label, OptionHelp(option, commands) + more, OptionTextColumn);
}

// The options that any of `commands` takes on this system, --help and
// --version with all; with all, an option whose file has its section says
// so.
std::string OptionLines(unsigned commands, PortStyle style)
{
    const bool all = commands == AllCommands();
    std::string lines = "Options:\n";
    for (const OptionSpec& option : OptionTable()) {
        if (((option.commands & commands) == 0 && !(all && &option == &CommandOption(CommandKind::Version))) ||
            !TakenOn(option, style))
            continue;
        const std::string below = all && HasFileSection(option) ? " See below." : "";
        lines += OptionLine(option, commands, below + (all ? CommandsTaking(option) : ""));
    }
    return lines + "\n";
}

// The options most runs use, in the short --help.
const char* const CommonOptions[] = {"--json", "--transcript", "--help", "--version"};

std::string FileSectionLines()
{
    std::string lines;
    for (const FileSection& section : FileSections)
        lines += section.text();
    return lines;
}

std::string ExitCodeLines()
{
    std::string lines = "Exit codes:\n";
    for (const OutcomeRow& row : RowsByCode()) {
        char number[16];
        std::snprintf(number, sizeof number, "%4d  ", ToInt(row.code));
        lines += Wrap(number, HelpLine(row), std::strlen(number));
    }
    return lines;
}

const char* const About =
    "\n"
    "Reads and changes the settings of a Tolvane target device on a serial port.\n"
    "\n";

const char* const PosixPorts =
    "PORT is the path of a serial port: /dev/rfcomm0, /dev/ttyUSB0, a\n"
    "pseudo-terminal or a symlink to one.\n"
    "\n";

std::string AddressPorts()
{
    return "PORT may also be a serial server or a Bluetooth device:\n"
           "  socket://HOST:PORT                  raw TCP (the server's line settings)\n"
           "  rfc2217://HOST:PORT                 Telnet COM Port Control (RFC 2217)\n"
           "  socket+tls://HOST:PORT              raw TCP inside TLS 1.2 or later\n"
           "  rfc2217+tls://HOST:PORT             RFC 2217 inside TLS 1.2 or later\n"
           "  bt://AA:BB:CC:DD:EE:FF[?channel=N]  Bluetooth RFCOMM, channel " +
           std::to_string(FirstRfcommChannel) + " to " + std::to_string(LastRfcommChannel) +
           "\n"
           "HOST is a name, an IPv4 address or an IPv6 address in brackets. Without\n"
           "+tls, TCP and Telnet carry the PIN in clear text (a run that uses them\n"
           "warns once on standard error): prefer the +tls forms.\n"
           "Inside TLS the server's certificate must name HOST in its subjectAltName\n"
           "(never by its Common Name), come from an authority the system trusts\n"
           "(or --tls-ca's), and have no RSA key under 2048 bits nor a SHA-1\n"
           "signature; or have --tls-fingerprint. The TLS files are PEM files, but\n"
           "for a client certificate on Windows: a PKCS#12 file, which holds its\n"
           "key too. They are read before any port opens, and the TLS options apply\n"
           "to the +tls addresses only: with none among the ports, they are refused.\n"
           "\n";
}

std::string CommandLines()
{
    std::string lines = "Commands:\n";
    for (const CommandSpec& command : CommandTable())
        lines += CommandParagraph(command.kind);
    return lines + "\n";
}

const char* const Output =
    "Results go to standard output, messages to standard error. In lines for\n"
    "people, control characters (0x00-0x1F, 0x7F-0x9F) in what the device sent\n"
    "and in names are shown as \\xHH, and everything else as it is; JSON is\n"
    "UTF-8, a device's bytes that are not UTF-8 being U+FFFD with their hex\n"
    "under the key with Hex added (nameHex). The tables of scan and\n"
    "provision are tab-separated in a pipe or a file, as scripts take them;\n"
    "on a terminal their columns are aligned with spaces.\n"
    "\n";

}  // namespace

std::string HelpText(PortStyle style)
{
    const std::string windowsPorts =
        "PORT is a COM port from " + ComPortRangeText() + " (the letters in any case).\n\n";
    return UsageLines(style) + About + (style == PortStyle::Windows ? windowsPorts : PosixPorts) + AddressPorts() +
           CommandLines() + OptionLines(AllCommands(), style) + FileSectionLines() + Output + ExitCodeLines();
}

std::string ShortHelpText(PortStyle style)
{
    std::string text = "Usage: tolvane-cli COMMAND [ARGUMENT...] [OPTION...]\n" + std::string(About) + "Commands:\n";
    for (const CommandSpec& command : CommandTable()) {
        std::string label = std::string("  ") + command.name;
        label.resize(CommandTextColumn, ' ');
        text += Wrap(label, CommandSummary(command.kind), CommandTextColumn);
    }
    text += "\nCommon options:\n";
    for (const char* name : CommonOptions)
        text += OptionLine(*FindOption(name), AllCommands(), CommandsTaking(*FindOption(name)));
    const std::string ownHelp = style == PortStyle::Windows ? "tolvane-cli help COMMAND (or tolvane-cli COMMAND /?)"
                                                            : "tolvane-cli help COMMAND";
    return text + "\n" +
           Wrap("",
                ownHelp + " shows a command's usage, every option it takes and an example; tolvane-cli help all " +
                    "shows everything: ports and addresses, files, output and exit codes" +
                    (style == PortStyle::Windows ? "." : ", as man tolvane-cli does."),
                0);
}

std::string CommandHelpText(CommandKind kind, PortStyle style)
{
    const CommandSpec* command = FindCommand(kind);
    if (command == nullptr)
        return ShortHelpText(style);
    return "Usage: " + UsageForm(*command, style) + "\n\n" + CommandParagraph(kind) + "\n" +
           OptionLines(CommandBit(kind), style) + "Example:\n  " + CommandExample(kind, style) + "\n\n" +
           Wrap("", "tolvane-cli help all tells the rest: ports and addresses, transcripts, records, exit codes.", 0);
}
