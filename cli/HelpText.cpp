#include "HelpText.h"

#include "CliOptions.h"
#include "Commands.h"
#include "NewSettings.h"
#include "OptionTable.h"
#include "OutcomeTable.h"
#include "ProvisionPlan.h"

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

// Lines of --help stay within a terminal of 80 columns.
constexpr std::size_t LineWidth = 79;
// Where an option's paragraph starts: after "  --transcript FILE" and two spaces.
constexpr std::size_t OptionTextColumn = 21;

// `words` in lines of at most LineWidth columns, the first line after
// `first` and the rest indented by `indent` spaces.
std::string Wrap(std::string first, const std::vector<std::string>& words, std::size_t indent)
{
    std::string wrapped;
    std::string line = std::move(first);
    bool lineHasWord = false;
    for (const std::string& word : words) {
        if (lineHasWord && line.size() + 1 + word.size() > LineWidth) {
            wrapped += line + "\n";
            line = std::string(indent, ' ');
            lineHasWord = false;
        }
        line += (lineHasWord ? " " : "") + word;
        lineHasWord = true;
    }
    return wrapped + line + "\n";
}

std::string Wrap(std::string first, const std::string& text, std::size_t indent)
{
    std::vector<std::string> words;
    for (std::size_t start = 0, end = 0; start < text.size(); start = end + 1) {
        end = std::min(text.find(' ', start), text.size());
        words.push_back(text.substr(start, end - start));
    }
    return Wrap(std::move(first), words, indent);
}

std::string OptionForm(const OptionSpec& option)
{
    return std::string(option.name) + (option.argument != nullptr ? std::string(" ") + option.argument : "");
}

// GNU's layout, which help2man turns into the manual's synopsis: the first
// form after "Usage:", each further one after "  or:", one line each.
std::string UsageLines()
{
    std::string usage;
    for (const CommandSpec& command : CommandTable()) {
        std::string line =
            std::string(usage.empty() ? "Usage: " : "  or:  ") + "tolvane-cli " + command.name + " " + command.operands;
        for (const OptionSpec& option : OptionTable()) {
            if (&option == &CommandOption(CommandKind::Help) || (option.commands & CommandBit(command.kind)) == 0)
                continue;
            line += " " + (option.required ? OptionForm(option) : "[" + OptionForm(option) + "]");
        }
        usage += line + "\n";
    }
    return usage + "  or:  tolvane-cli " + CommandOption(CommandKind::Help).name + " | " +
           CommandOption(CommandKind::Version).name + "\n";
}

// "(query, scan, provision)" for an option some commands take.
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

std::string OptionLines()
{
    std::string lines = "Options:\n";
    for (const OptionSpec& option : OptionTable()) {
        std::string label = "  ";
        if (option.shortName != nullptr)
            label += std::string(option.shortName) + ", ";
        label += OptionForm(option);
        label.resize(std::max(label.size() + 2, OptionTextColumn), ' ');
        lines += Wrap(label, option.help + CommandsTaking(option), OptionTextColumn);
    }
    return lines + "\n";
}

std::string ExitCodeLines()
{
    std::string lines = "Exit codes:\n";
    for (int code = 0; code <= ToInt(LastExitCode); ++code) {
        const OutcomeRow row = OutcomeRowOf(static_cast<ExitCode>(code));
        char number[16];
        std::snprintf(number, sizeof number, "%4d  ", code);
        lines += number + std::string(row.meaning != nullptr ? row.meaning : row.message) + "\n";
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
    "The TLS files are PEM files; client certificates need Linux for now.\n"
    "\n";

std::string CommandLines()
{
    const std::string maxPin = std::to_string(MaxPinLength);
    return "Commands:\n"
           "  query      Read the device and print its name, firmware version,\n"
           "             authentication (Enable or Disable) and PIN, one line each:\n"
           "               name: NAME\n"
           "               firmware: VERSION\n"
           "               authentication: Enable\n"
           "               pin: PIN\n"
           "             With --json, one object with the keys name, firmware,\n"
           "             authentication and pin.\n" +
           Wrap("  configure  ",
                "Read the device, then set its authentication (--auth on or off) and, with --pin or "
                "--pin-file, a new PIN of at most " +
                    maxPin +
                    " characters without spaces. Without them the device keeps its PIN. Nothing is written unless "
                    "the device was read correctly and the checks passed; a PIN that fails them is refused before "
                    "the port is opened. Prints \"Configuration is completed.\" With --verify, waits MS "
                    "milliseconds (--verify-wait, default " +
                    std::to_string(DefaultVerifyWaitMs) +
                    ") and reads the device again: success only if it reports the requested authentication and "
                    "PIN (\"The device reports the requested settings.\"), otherwise what it reports and exit 15. A "
                    "mismatch is never retried nor written again: some devices take new settings only after a "
                    "reset.",
                13) +
           Wrap("  scan       ",
                "List the serial ports of this machine, one a line, with tab-separated columns at fixed places (empty "
                "ones at the end left out): the port; with --probe the status (device, no-answer, cannot-open, "
                "setup-failed, write-failed, incorrect-data, unsupported-firmware), and for a device its firmware "
                "version and name; then the kind (bluetooth, usb, network, other), the direction of a Bluetooth port "
                "(outgoing reaches the device, incoming only waits for it to call), the remote Bluetooth address and "
                "the system's description. --probe asks every port (the named PORTs instead, if given) at the same "
                "time, waiting about " +
                    std::to_string(ProbeReadTimeoutMs / 1000) + " s for any one byte and at most about " +
                    std::to_string(ProbeDeadlineMs / 1000) +
                    " s from the open to the end of the answer; a port named twice is probed once and listed under "
                    "each name. With --json, an array of objects with the keys port, status, firmware, name, "
                    "authentication, pin, kind, direction, address and description, unknown ones left out.",
                13) +
           Wrap("  provision  ",
                "Configure every device of PLAN at the same time, each with configure's steps and checks (and "
                "--verify's). PLAN is a CSV file, or - for standard input, with the header port,auth,pin and a row "
                "per port: auth on or off, an empty pin keeps the device's PIN. Fields may be quoted as in CSV "
                "(\"0123\", with \"\" for one quote); an unclosed quote is a bad row. PLAN must be a regular file. A "
                "plan has at most " +
                    std::to_string(MaxPlanRows) + " rows, each line at most " + std::to_string(MaxPlanLineLength) +
                    " characters, and at most " + std::to_string(MaxPlanBytes) +
                    " bytes in all. The whole plan is checked before any port is opened; a bad row (unknown port, "
                    "bad auth, a PIN over " +
                    maxPin +
                    " characters or with spaces, a port named twice) is reported with its line number and nothing "
                    "is done. Prints one line per row, in the plan's order, with tab-separated columns: port, status "
                    "(verified, configured, not-verified, refused, write-failed or a scan status), firmware, name, "
                    "the authentication before and after, and the exit code configure would have given. With "
                    "--json one object a line with the keys port, status, firmware, name, authenticationBefore, "
                    "authenticationAfter and exitCode. PINs are never printed.",
                13) +
           "\n";
}

const char* const Transcripts =
    "--transcript FILE appends to FILE every byte sent to and received from\n"
    "each port, as it crossed the port, one line per chunk: milliseconds since\n"
    "the command started, the port, > (to the device), < (from it) or x (from\n"
    "it before it was asked for, so discarded unread), the bytes in hex, and\n"
    "the same bytes as text with escapes; and each failure to open,\n"
    "set up or hear from a port, with the system's reason. It never changes\n"
    "what is sent, or when. It holds the PINs that were sent: keep it as you\n"
    "keep a plan. FILE must be a regular file: a device, terminal, serial\n"
    "port, FIFO or pipe is refused (exit 18) before any port is opened. A\n"
    "transcript that cannot be written is reported after the work: exit 18\n"
    "where the command succeeded, else the command's own code.\n"
    "\n"
    "Results go to standard output, messages to standard error. In lines for\n"
    "people, control characters (0x00-0x1F, 0x7F-0x9F) and the backslash in what\n"
    "the device sent and in names are shown as \\xHH and \\\\; JSON is ASCII, each\n"
    "byte of the device one character.\n"
    "\n";

}  // namespace

std::string HelpText(PortStyle style)
{
    const std::string windowsPorts =
        "PORT is a COM port from " + ComPortRangeText() + " (the letters in any case).\n\n";
    return UsageLines() + About + (style == PortStyle::Windows ? windowsPorts : PosixPorts) + AddressPorts +
           CommandLines() + OptionLines() + Transcripts + ExitCodeLines();
}
