#include "CommandHelp.h"

#include "common/CliTexts.h"
#include "commands/Commands.h"
#include "common/HelpLayout.h"
#include "NewSettings.h"
#include "output/OutcomeTable.h"
#include "bench/ProvisionPlan.h"
#include "bench/ProvisionReport.h"
#include "bench/RandomPin.h"
#include "UserMessages.h"

#include <string>

std::string CommandParagraph(CommandKind kind)
{
    const std::string maxPin = std::to_string(MaxPinLength);
    switch (kind) {
        case CommandKind::Query:
            return "  query      Read the device and print its name, firmware version,\n"
                   "             authentication (Enable or Disable) and PIN, one line each:\n"
                   "               name: NAME\n"
                   "               firmware: VERSION\n"
                   "               authentication: Enable\n"
                   "               pin: PIN\n"
                   "             With --json, one object with the keys name, firmware,\n"
                   "             authentication and pin.\n";
        case CommandKind::Configure:
            return Wrap(
                "  configure  ",
                "Read the device, then set its authentication (--auth on or off) and, with --pin, "
                "--pin-file or --pin-prompt, a new PIN of at most " +
                    maxPin +
                    " characters without spaces. Without them the device keeps its PIN. Nothing is written unless "
                    "the device was read correctly and the checks passed; a PIN that fails them is refused before "
                    "the port is opened. Prints \"" +
                    UserMessages::Configured + "\" With --verify, waits MS milliseconds (--verify-wait, default " +
                    std::to_string(DefaultVerifyWaitMs) +
                    ") and reads the device again: success only if it reports the requested authentication and "
                    "PIN (\"" +
                    CliText::Verified + "\"), otherwise what it reports and exit " +
                    ExitNumber(CliOutcome::NotVerified) +
                    ". A "
                    "mismatch is never retried nor written again: some devices take new settings only after a "
                    "reset. With --json, one object with the keys of a provision row (a random PIN under pin) in "
                    "place of these lines.",
                CommandTextColumn);
        case CommandKind::Scan:
            return Wrap(
                "  scan       ",
                "List the serial ports of this machine, one a line, with tab-separated columns at fixed places (empty "
                "ones at the end left out): the port; with --probe the status (" +
                    JoinWords(ProbeWords()) +
                    "), and for a device its firmware version and name; then the kind (bluetooth, usb, network, "
                    "other), the direction of a Bluetooth port "
                    "(outgoing reaches the device, incoming only waits for it to call), the remote Bluetooth address "
                    "and "
                    "the system's description. --probe asks every port (the named PORTs instead, if given) at the same "
                    "time, waiting about " +
                    std::to_string(ProbeReadTimeoutMs / 1000) + " s for any one byte and at most about " +
                    std::to_string(ProbeDeadlineMs / 1000) +
                    " s from the open to the end of the answer; a port named twice is probed once and listed under "
                    "each name. With --json, one array of objects with the keys port, status, firmware, name, "
                    "authentication, pin, kind, direction, address and description, unknown ones left out: a "
                    "finished list, printed once every port was asked.",
                CommandTextColumn);
        case CommandKind::Provision: {
            const std::string random = RandomPinWord;
            return Wrap(
                "  provision  ",
                "Configure every device of PLAN, at most --jobs at the same time, each with configure's steps and "
                "checks (and --verify's). PLAN is a CSV file, or - for standard input, with the header " +
                    std::string(PlanHeader) +
                    " (its names in any order and case, separated by , or ; or a tab, as a spreadsheet saves it; "
                    "other columns, such as a serial number, are carried into the report and the record) and a row "
                    "per port: auth on or off (1 or 0, in any case), blanks around a field dropped, an empty pin keeps "
                    "the device's PIN, " +
                    random + " (" + std::to_string(DefaultRandomPinDigits) + " digits) or " + random + ":N (N from " +
                    std::to_string(MinRandomPinDigits) + " to " + std::to_string(MaxRandomPinDigits) +
                    ") draws a new one from the system's generator, different from the device's own, from every "
                    "other PIN drawn in the run and, with --record, from every PIN the record holds as set on a "
                    "device by provision or configure. Fields may be quoted as in CSV (\"0123\", with \"\" for one "
                    "quote); an unclosed "
                    "quote is a bad row. PLAN must be a regular file. A plan has at most " +
                    std::to_string(MaxPlanRows) + " rows, each line at most " + std::to_string(MaxPlanLineLength) +
                    " characters, and at most " + std::to_string(MaxPlanBytes) +
                    " bytes in all. The whole plan is checked before any port is opened; a bad row (unknown port, "
                    "bad auth, a PIN over " +
                    maxPin +
                    " characters or with spaces, a port named twice) is reported with its line number, every bad row "
                    "up to " +
                    std::to_string(MaxToldBadPlanLines) +
                    " and then their count, and nothing is done. Prints a header line, then one line per row as the "
                    "row ends, with tab-separated "
                    "columns: port, status (" +
                    JoinWords(ProvisionWords()) + ", " + FailedStatus + " or a scan status; " + DoneEarlierStatus +
                    " for a row --resume skipped, " + DoneElsewhereStatus +
                    " for one another run set up with the same request while this one was at work), firmware, name, "
                    "the authentication before and after, the exit "
                    "code configure would have given, the PIN drawn for a random pin, a failure's reason, then the "
                    "plan's other columns; with "
                    "--check pinBefore and pinAfter in place of the PIN drawn, and the status " +
                    WouldChangeStatus + " or " + UnchangedStatus +
                    ". With --json, JSON Lines: one object a line, printed as its row ends (a stream, not scan's "
                    "finished array), with the header's names as keys, and the plan's other columns in an object "
                    "columns. No other PIN is printed. A summary follows on standard error. While it "
                    "works, and standard error is a terminal, a progress line there (done, failed, at work, time "
                    "taken) is redrawn in place, and cleared before any other line. On Ctrl-C or SIGTERM no row "
                    "starts a write any more, and the rows still at work are listed there: those that may have been "
                    "written, with the PIN drawn for them, and those that were not; then a hint with the --resume "
                    "line that finishes the plan.",
                CommandTextColumn);
        }
        case CommandKind::Help:
        case CommandKind::Version:
            break;
    }
    return "";
}

std::string CommandSummary(CommandKind kind)
{
    switch (kind) {
        case CommandKind::Query:
            return "Read the device: name, firmware, authentication and PIN.";
        case CommandKind::Configure:
            return "Set the device's authentication and PIN.";
        case CommandKind::Scan:
            return "List the serial ports; with --probe, what answers on each.";
        case CommandKind::Provision:
            return "Configure a bench of devices from a CSV plan.";
        case CommandKind::Help:
        case CommandKind::Version:
            break;
    }
    return "";
}

std::string CommandExample(CommandKind kind, PortStyle style)
{
    const std::string port = style == PortStyle::Windows ? "COM5" : "/dev/rfcomm0";
    switch (kind) {
        case CommandKind::Query:
            return "tolvane-cli query " + port + " --json";
        case CommandKind::Configure:
            return "tolvane-cli configure " + port + " --auth on --pin-file pin.txt --verify";
        case CommandKind::Scan:
            return "tolvane-cli scan --probe";
        case CommandKind::Provision:
            return "tolvane-cli provision plan.csv --verify --transcript support.log";
        case CommandKind::Help:
        case CommandKind::Version:
            break;
    }
    return "";
}
