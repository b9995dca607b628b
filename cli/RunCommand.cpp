#include "RunCommand.h"

#include "HelpText.h"
#include "MaskedCommandLine.h"
#include "output/OutputFormat.h"
#include "ports/TlsFiles.h"
#include "ports/TranscribingPort.h"
#include "ports/Transcript.h"

#include "TolvaneVersion.h"

#include <algorithm>

namespace {

// The terms this binary is distributed under, after the sources' MIT licence:
// on Linux it links libbluetooth (GPL-2+) and OpenSSL 3 (Apache-2.0), which
// only the GPL from version 3 on allows together; on Windows it carries only
// code whose notices THIRD-PARTY.txt holds.
#ifdef _WIN32
constexpr char BinaryLicence[] =
    "This program carries code of other projects under their own terms: see THIRD-PARTY.txt.";
#else
constexpr char BinaryLicence[] =
    "As built, this program links libbluetooth (GPL-2+) and OpenSSL 3 (Apache-2.0),\n"
    "and is distributed under the GNU GPL, version 3 or later.";
#endif

ExitCode Dispatch(const CliOptions& options, CommandContext& context)
{
    switch (options.command) {
        case CommandKind::Help:
            context.out << (options.fullHelp ? HelpText(context.portStyle)
                                             : CommandHelpText(options.helpFor, context.portStyle));
            return ExitCode::Success;
        case CommandKind::Version:
            context.out << "tolvane-cli (Tolvane) " TOLVANE_VERSION "\n" TOLVANE_COPYRIGHT "\n" TOLVANE_LICENSE "\n"
                        << BinaryLicence << '\n';
            return ExitCode::Success;
        case CommandKind::Query:
            return RunQuery(options, context);
        case CommandKind::Configure:
            return RunConfigure(options, context);
        case CommandKind::Scan:
            return RunScan(options, context);
        case CommandKind::Provision:
            return RunProvision(options, context);
    }
    return ExitCode::Failure;
}

// With --transcript every port the command makes tells the transcript what
// crosses it. The file is opened before anything else is done. A transcript
// that could not be written is reported after the work; the work's own
// failure keeps its code, a success becomes TranscriptFailed.
ExitCode RunTranscribed(const CliOptions& options, CommandContext& context)
{
    if (options.transcript.empty())
        return Dispatch(options, context);
    Transcript transcript;
    std::string error;
    if (!transcript.Open(options.transcript, CommandLineWithoutPins(context.arguments), context.err, error)) {
        context.err << error << '\n';
        return ExitCode::TranscriptFailed;
    }
    CommandContext transcribed = context;
    transcribed.makePort = [&context, &transcript](const PortAddress& address) {
        PortAddress noted = address;
        noted.tlsSettings.noteSession = [&transcript, label = address.label](const std::string& text) {
            transcript.Secured(label, text);
        };
        return std::make_unique<TranscribingPort>(context.makePort(noted), transcript, address.label);
    };
    const ExitCode code = Dispatch(options, transcribed);
    transcript.Flush();
    const std::string writeError = transcript.WriteError();
    if (writeError.empty())
        return code;
    context.err << "Cannot write the transcript " << EscapeForText(options.transcript) << ": " << writeError << ".\n";
    return code == ExitCode::Success ? ExitCode::TranscriptFailed : code;
}
// Whether the command names a TLS address, as far as its options tell: a
// plan's rows are looked at by provision.
bool MayUseTls(const CliOptions& options)
{
    switch (options.command) {
        case CommandKind::Query:
        case CommandKind::Configure:
            return MayBeTlsAddress(options.port);
        case CommandKind::Scan:
            return std::any_of(options.ports.begin(), options.ports.end(), MayBeTlsAddress);
        default:
            return true;
    }
}

// The one warning of a run that reaches a server without TLS, for its
// first such port; a plan's rows are looked at by provision.
std::string ClearTextWarningOf(const CliOptions& options)
{
    switch (options.command) {
        case CommandKind::Query:
        case CommandKind::Configure:
            return ClearTextWarning(options.port);
        case CommandKind::Scan:
            for (const std::string& port : options.ports) {
                const std::string warning = ClearTextWarning(port);
                if (!warning.empty())
                    return warning;
            }
            return "";
        default:
            return "";
    }
}

}  // namespace

// The TLS options' files are read and parsed before anything is opened;
// every port the command makes then checks its server with them. Options
// that no address of the command would use are refused.
ExitCode RunCommand(const CliOptions& given, CommandContext& context)
{
    // TLS files from the environment serve the commands that use TLS; the
    // others go on without them.
    const CliOptions options = MayUseTls(given) ? given : WithoutEnvironmentTls(given);
    if (HasTlsOptions(options) && !MayUseTls(options)) {
        context.err << TlsOptionsUnusedMessage(options) << '\n';
        return ExitCode::Usage;
    }
    const std::string clearText = ClearTextWarningOf(options);
    if (!clearText.empty())
        context.err << clearText << '\n';
    if (!HasTlsOptions(options))
        return RunTranscribed(options, context);
    TlsSettings settings;
    std::string error;
    if (!ReadTlsFiles(options, settings, context.err, error)) {
        context.err << error << '\n';
        return ExitCode::Usage;
    }
    CommandContext secured = context;
    secured.tlsOptionsGiven = HasTlsOptions(WithoutEnvironmentTls(options));
    secured.makePort = [&context, &settings](const PortAddress& address) {
        PortAddress withSettings = address;
        withSettings.tlsSettings = settings;
        withSettings.tlsSettings.noteSession = address.tlsSettings.noteSession;
        return context.makePort(withSettings);
    };
    return RunTranscribed(options, secured);
}
