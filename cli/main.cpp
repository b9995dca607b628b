// tolvane-cli: the window's two operations, reading and configuring a device,
// for shells and scripts, plus a look for ports and devices.
#include "ArgumentParser.h"
#include "RunCommand.h"
#include "Completion.h"
#include "common/MessageLines.h"
#include "OptionTable.h"
#include "system/PortDetails.h"
#include "system/SerialPortList.h"
#include "serial/StandardDescriptors.h"
#include "system/Terminal.h"
#include "TlsEnvironment.h"

#ifndef _WIN32
#include "serial/OpenPortsPosix.h"

#include <signal.h>
#endif

#include <cstdlib>
#include <iostream>
#include <string>
#include <vector>

namespace {

// Where to read up on a command line that was refused: the command's own
// help when the command was known.
std::string UsageHint(CommandKind kind)
{
    if (const CommandSpec* command = FindCommand(kind))
        return std::string("tolvane-cli ") + command->name + " --help shows its usage, options and an example.";
    return "tolvane-cli --help lists the commands and their options.";
}

}  // namespace

int main(int argc, char** argv)
{
    // Before anything is opened: no port may become standard output or error.
    if (!FillClosedStandardDescriptors())
        return ToInt(ExitCode::Failure);
#ifndef _WIN32
    ReleasePortsOnInterrupt();
    // A reader of standard output that went away (provision ... | head)
    // fails the writes, as a full disk does, instead of ending the process
    // in the middle of a row with its ports held: the rows at work end, and
    // the failed output is reported below.
    signal(SIGPIPE, SIG_IGN);
#endif
    MessageLines messageLines(std::cerr.rdbuf(), "tolvane-cli: ");
    std::ostream messages(&messageLines);

    const std::vector<std::string> args(argv + (argc > 0 ? 1 : 0), argv + (argc > 0 ? argc : 0));
    if (!args.empty() && args.front() == CompleteOption) {
        std::vector<std::string> ports;
        ListSystemSerialPorts(ports);
        std::cout << CompletionCandidates({args.begin() + 1, args.end()}, ports);
        return ToInt(ExitCode::Success);
    }
    const ParsedArguments parsed = ParseArguments(args);
    if (!parsed.ok) {
        messages << parsed.error << '\n' << HintPrefix << UsageHint(parsed.options.command) << '\n';
        return ToInt(ExitCode::Usage);
    }

    CliOptions options = parsed.options;
    std::string environmentError;
    if (options.command != CommandKind::Help && options.command != CommandKind::Version &&
        !TakeTlsEnvironment(options, std::getenv, environmentError)) {
        messages << environmentError << '\n';
        return ToInt(ExitCode::Usage);
    }

    CommandContext context{std::cout, messages};
    context.describePorts = DescribeSystemPorts;
    context.identifyPort = PortIdentity;
    context.explainReadFailure = ExplainReadFailure;
    context.readFailureHints = [&context](const ReadFailure& failure) {
        return ReadFailureHints(failure, context.portStyle, context.listPorts);
    };
    context.arguments = args;
    // Standard error's own buffer, past the message lines and with no tie
    // to standard output.
    std::ostream progress(std::cerr.rdbuf());
    if (StandardErrorIsTerminal())
        context.progress = &progress;
    context.alignColumns = StandardOutputIsTerminal();
    const ExitCode code = RunCommand(options, context);

    // A result that did not reach its reader (a full disk, a closed pipe, a
    // standard output closed from the start) is no success.
    std::cout.flush();
    if (!std::cout) {
        messages << "Cannot write the result.\n";
        return ToInt(code == ExitCode::Success ? ExitCode::Failure : code);
    }
    return ToInt(code);
}
