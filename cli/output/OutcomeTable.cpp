#include "OutcomeTable.h"

#include "common/CliTexts.h"
#include "UserMessages.h"

#include <algorithm>

OutcomeRow ReadRow(LinkResult result)
{
    const char* window = QueryFailureMessage(result);
    switch (result) {
        case LinkResult::Ok:
            return {ExitCode::Success, "device", nullptr, nullptr};
        case LinkResult::OpenFailed:
            return {ExitCode::CannotOpen, "cannot-open", window, nullptr};
        case LinkResult::SetupFailed:
            return {ExitCode::SetupFailed, "setup-failed", window, nullptr};
        case LinkResult::WriteFailed:
            return {ExitCode::QueryWriteFailed, "write-failed", window, nullptr};
        case LinkResult::Timeout:
            return {ExitCode::Timeout, "no-answer", window, nullptr};
        case LinkResult::BadEcho:
        case LinkResult::BadReply:
        case LinkResult::ShortWrite:  // the window's word for it: a query never ends so
            return {ExitCode::IncorrectData, "incorrect-data", window, nullptr};
        case LinkResult::UnsupportedVersion:
            // The window passes over such a device without a word; a script
            // has to be told.
            return {ExitCode::UnsupportedFirmware, "unsupported-firmware", CliText::UnsupportedFirmware,
                    "unsupported firmware version (the device is not configured)"};
    }
    return {ExitCode::Failure, nullptr, nullptr, nullptr};  // not a LinkResult at all
}

OutcomeRow WriteRow(LinkResult result)
{
    const char* window = ConfigureFailureMessage(result);
    switch (result) {
        case LinkResult::Ok:
            return {ExitCode::Success, "configured", nullptr, nullptr};
        case LinkResult::ShortWrite:
            return {ExitCode::ShortWrite, "write-failed", window, nullptr};
        case LinkResult::WriteFailed:
        // Writing the command has no other outcome; the window counts
        // anything else as the failed write.
        case LinkResult::OpenFailed:
        case LinkResult::SetupFailed:
        case LinkResult::Timeout:
        case LinkResult::BadEcho:
        case LinkResult::BadReply:
        case LinkResult::UnsupportedVersion:
            return {ExitCode::ConfigureWriteFailed, "write-failed", window, nullptr};
    }
    return {ExitCode::Failure, nullptr, nullptr, nullptr};
}

OutcomeRow SettingsRow(SettingsProblem problem)
{
    const char* window = SettingsProblemMessage(problem);
    switch (problem) {
        case SettingsProblem::None:
            return {ExitCode::Success, nullptr, nullptr, nullptr};
        case SettingsProblem::NameTooLong:
            return {ExitCode::NameTooLong, "refused", window, nullptr};
        case SettingsProblem::PinTooLong:
            return {ExitCode::PinTooLong, "refused", window, nullptr};
        case SettingsProblem::PinHasSpace:
            return {ExitCode::PinHasSpaces, "refused", window, nullptr};
    }
    return {ExitCode::Failure, nullptr, nullptr, nullptr};
}

OutcomeRow CliRow(CliOutcome outcome)
{
    switch (outcome) {
        case CliOutcome::Success:
            return {ExitCode::Success, nullptr, nullptr, "success"};
        case CliOutcome::Failure:
            return {ExitCode::Failure, nullptr, nullptr,
                    "another failure: the ports could not be listed, the --record FILE cannot be opened, read or "
                    "written, no random PIN could be drawn, or output failed"};
        case CliOutcome::Usage:
            return {ExitCode::Usage, nullptr, nullptr,
                    "bad command line or port name, a --pin-file that cannot be read or holds no PIN, a failed "
                    "--pin-prompt, or TLS options whose files cannot be read or that do not go together"};
        case CliOutcome::NoDeviceFound:
            return {ExitCode::NoDeviceFound, nullptr, CliText::NoDeviceFound,
                    "scan --probe: no port answered as a device"};
        case CliOutcome::Verified:
            return {ExitCode::Success, "verified", nullptr, nullptr};
        case CliOutcome::NotVerified:
            return {ExitCode::NotVerified, "not-verified", CliText::NotVerified,
                    "configure --verify: the device does not report the requested settings"};
        case CliOutcome::ProvisionFailed:
            return {ExitCode::ProvisionFailed, nullptr, nullptr,
                    "provision: at least one row did not succeed (each row has its code)"};
        case CliOutcome::BadPlan:
            return {ExitCode::BadPlan, nullptr, nullptr,
                    "provision: the plan cannot be read or has a bad row (nothing was done)"};
        case CliOutcome::TranscriptFailed:
            return {ExitCode::TranscriptFailed, nullptr, nullptr,
                    "--transcript: the file is no regular file, cannot be opened or written"};
        case CliOutcome::Interrupted:
            return {ExitCode::Interrupted, nullptr, nullptr,
                    "interrupted by Ctrl-C (on Windows, its own code for Ctrl-C); SIGTERM, SIGHUP and SIGQUIT end "
                    "it with 128 plus their number (143, 129, 131); provision first lists the rows it was at"};
    }
    return {ExitCode::Failure, nullptr, nullptr, nullptr};
}

namespace {

// Every key of the four kinds, for the lists below; a key left out here
// loses only its line in --help, which the OutcomeTable test notices.
constexpr LinkResult LinkResults[] = {
    LinkResult::Ok,          LinkResult::OpenFailed, LinkResult::SetupFailed,
    LinkResult::WriteFailed, LinkResult::ShortWrite, LinkResult::Timeout,
    LinkResult::BadEcho,     LinkResult::BadReply,   LinkResult::UnsupportedVersion,
};
constexpr SettingsProblem SettingsProblems[] = {
    SettingsProblem::None,
    SettingsProblem::NameTooLong,
    SettingsProblem::PinTooLong,
    SettingsProblem::PinHasSpace,
};
constexpr CliOutcome CliOutcomes[] = {
    CliOutcome::Success,          CliOutcome::Failure,     CliOutcome::Usage,           CliOutcome::NoDeviceFound,
    CliOutcome::Verified,         CliOutcome::NotVerified, CliOutcome::ProvisionFailed, CliOutcome::BadPlan,
    CliOutcome::TranscriptFailed, CliOutcome::Interrupted,
};

void AddWord(std::vector<std::string>& words, const char* word)
{
    if (word != nullptr && std::find(words.begin(), words.end(), word) == words.end())
        words.emplace_back(word);
}

}  // namespace

std::vector<OutcomeRow> RowsByCode()
{
    std::vector<OutcomeRow> rows;
    for (CliOutcome outcome : CliOutcomes)
        rows.push_back(CliRow(outcome));
    for (LinkResult result : LinkResults) {
        rows.push_back(ReadRow(result));
        rows.push_back(WriteRow(result));
    }
    for (SettingsProblem problem : SettingsProblems)
        rows.push_back(SettingsRow(problem));

    std::stable_sort(rows.begin(), rows.end(),
                     [](const OutcomeRow& a, const OutcomeRow& b) { return ToInt(a.code) < ToInt(b.code); });
    rows.erase(std::unique(rows.begin(), rows.end(),
                           [](const OutcomeRow& a, const OutcomeRow& b) { return a.code == b.code; }),
               rows.end());
    return rows;
}

std::vector<std::string> ProbeWords()
{
    std::vector<std::string> words;
    for (LinkResult result : LinkResults)
        AddWord(words, ReadRow(result).word);
    return words;
}

std::vector<std::string> ProvisionWords()
{
    std::vector<std::string> words;
    AddWord(words, CliRow(CliOutcome::Verified).word);
    AddWord(words, WriteRow(LinkResult::Ok).word);
    AddWord(words, CliRow(CliOutcome::NotVerified).word);
    for (SettingsProblem problem : SettingsProblems)
        AddWord(words, SettingsRow(problem).word);
    for (LinkResult result : LinkResults)
        AddWord(words, WriteRow(result).word);
    return words;
}

const char* HelpLine(const OutcomeRow& row)
{
    return row.meaning != nullptr ? row.meaning : row.message;
}

std::string ExitNumber(CliOutcome outcome)
{
    return std::to_string(ToInt(CliRow(outcome).code));
}
