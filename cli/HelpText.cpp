#include "HelpText.h"

#include "CliOptions.h"
#include "CommandHelp.h"
#include "HelpLayout.h"
#include "OptionTable.h"
#include "OutcomeTable.h"
#include "RunRecord.h"

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

std::string OptionForm(const OptionSpec& option)
{
    return std::string(option.name) + (option.argument != nullptr ? std::string(" ") + option.argument : "");
}

// "tolvane-cli query PORT [--json] [--transcript FILE]": the command, its
// operands and its options.
std::string UsageForm(const CommandSpec& command)
{
    std::string form = std::string("tolvane-cli ") + command.name + " " + command.operands;
    for (const OptionSpec& option : OptionTable()) {
        if (&option == &CommandOption(CommandKind::Help) || (option.commands & CommandBit(command.kind)) == 0)
            continue;
        form += " [" + OptionForm(option) + "]";
    }
    return form;
}

// GNU's layout: the first form after "Usage:", each further one after
// "  or:", one line each.
std::string UsageLines()
{
    std::string usage;
    for (const CommandSpec& command : CommandTable())
        usage += std::string(usage.empty() ? "Usage: " : "  or:  ") + UsageForm(command) + "\n";
    return usage + "  or:  tolvane-cli " + CommandOption(CommandKind::Help).name + " | " +
           CommandOption(CommandKind::Version).name + "\n" + "  or:  tolvane-cli COMMAND " +
           CommandOption(CommandKind::Help).name + "\n";
}

// The options that any of `commands` takes, --help and --version with all.
std::string OptionLines(unsigned commands)
{
    const bool all = commands == AllCommands();
    std::string lines = "Options:\n";
    for (const OptionSpec& option : OptionTable()) {
        if ((option.commands & commands) == 0 && !(all && &option == &CommandOption(CommandKind::Version)))
            continue;
        std::string label = "  ";
        if (option.shortName != nullptr)
            label += std::string(option.shortName) + ", ";
        label += OptionForm(option);
        label.resize(std::max(label.size() + 2, OptionTextColumn), ' ');
        lines += Wrap(label, option.help + (all ? CommandsTaking(option) : ""), OptionTextColumn);
    }
    return lines + "\n";
}

std::string ExitCodeLines()
{
    std::string lines = "Exit codes:\n";
    for (const OutcomeRow& row : RowsByCode()) {
        char number[16];
        std::snprintf(number, sizeof number, "%4d  ", ToInt(row.code));
        lines += number + std::string(HelpLine(row)) + "\n";
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

const char* const AddressPorts =
    "PORT may also be a serial server or a Bluetooth device:\n"
    "  socket://HOST:PORT                  raw TCP (the server's line settings)\n"
    "  rfc2217://HOST:PORT                 Telnet COM Port Control (RFC 2217)\n"
    "  socket+tls://HOST:PORT              raw TCP inside TLS 1.2 or later\n"
    "  rfc2217+tls://HOST:PORT             RFC 2217 inside TLS 1.2 or later\n"
    "  bt://AA:BB:CC:DD:EE:FF[?channel=N]  Bluetooth RFCOMM, channel 1 to 30\n"
    "HOST is a name, an IPv4 address or an IPv6 address in brackets. Without\n"
    "+tls, TCP and Telnet carry the PIN in clear text: prefer the +tls forms.\n"
    "Inside TLS the server's certificate must name HOST and come from an\n"
    "authority the system trusts (or --tls-ca's), or have --tls-fingerprint.\n"
    "The TLS files are PEM files, but for a client certificate on Windows:\n"
    "a PKCS#12 file, which holds its key too.\n"
    "\n";

std::string CommandLines()
{
    std::string lines = "Commands:\n";
    for (const CommandSpec& command : CommandTable())
        lines += CommandParagraph(command.kind);
    return lines + "\n";
}

std::string Transcripts()
{
    const std::string failed = ExitNumber(CliOutcome::TranscriptFailed);
    return "--transcript FILE appends to FILE a header line for the run (#, the time\n"
           "in UTC, the version, and the command line with each --pin value shown as\n"
           "***), then every byte sent to and received from each port, as it crossed\n"
           "the port, one line per chunk: milliseconds since the header, the port, >\n"
           "(to the device), < (from it) or x (from it before it was asked for, so\n"
           "discarded unread), the bytes in hex, and the same bytes as text with\n"
           "escapes; and each failure to open, set up or hear from a port, with the\n"
           "system's reason. It never changes what is sent, or when. It holds the\n"
           "PINs that were sent: a new FILE is readable by its owner only (mode\n"
           "0600); keep it as you keep a plan. FILE must be a regular file: a device,\n"
           "terminal, serial port, FIFO or pipe is refused (exit " +
           failed +
           ") before any port\n"
           "is opened. A transcript that cannot be written is reported after the\n"
           "work: exit " +
           failed +
           " where the command succeeded, else the command's own code.\n"
           "\n"
           "Results go to standard output, messages to standard error. In lines for\n"
           "people, control characters (0x00-0x1F, 0x7F-0x9F) in what the device sent\n"
           "and in names are shown as \\xHH, and everything else as it is; JSON is\n"
           "ASCII, each byte of the device one character.\n"
           "\n";
}

}  // namespace

std::string HelpText(PortStyle style)
{
    const std::string windowsPorts =
        "PORT is a COM port from " + ComPortRangeText() + " (the letters in any case).\n\n";
    return UsageLines() + About + (style == PortStyle::Windows ? windowsPorts : PosixPorts) + AddressPorts +
           CommandLines() + OptionLines(AllCommands()) + Transcripts() + RecordHelpText + ExitCodeLines();
}

std::string CommandHelpText(CommandKind kind, PortStyle style)
{
    const CommandSpec* command = FindCommand(kind);
    if (command == nullptr)
        return HelpText(style);
    return "Usage: " + UsageForm(*command) + "\n\n" + CommandParagraph(kind) + "\n" + OptionLines(CommandBit(kind)) +
           "Example:\n  " + CommandExample(kind, style) + "\n\n" +
           "tolvane-cli --help tells the rest: ports and addresses, transcripts, exit codes.\n";
}
