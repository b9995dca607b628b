#include "Commands.h"

#include "HelpText.h"

ExitCode RunCommand(const CliOptions& options, CommandContext& context)
{
    switch (options.command) {
    case CommandKind::Help:
        context.out << HelpText(context.portStyle);
        return ExitCode::Success;
    case CommandKind::Version:
        context.out << "tolvane-cli " << TOLVANE_VERSION << '\n';
        return ExitCode::Success;
    case CommandKind::Query: return RunQuery(options, context);
    case CommandKind::Configure: return RunConfigure(options, context);
    case CommandKind::Scan: return RunScan(options, context);
    case CommandKind::Provision: return RunProvision(options, context);
    }
    return ExitCode::Failure;
}
