#include "ProvisionReport.h"

#include "OutcomeTable.h"
#include "OutputFormat.h"

#include <vector>

namespace {

struct ReportField {
    const char* key;
    std::string value;  // empty when unknown
    bool quoted;        // a string, or a number as it stands
};

bool DeviceAnswered(const ConfigureReport& report)
{
    return report.readResult == LinkResult::Ok || report.readResult == LinkResult::UnsupportedVersion;
}

// What the device holds afterwards, as far as this program knows it: what
// it reported when read again, else what was written, else (nothing written)
// what it had.
std::string AuthenticationAfter(int requestedAuth, const ConfigureReport& report)
{
    if (report.readAgain)
        return AuthenticationWord(report.after.auth);
    if (report.written)
        return report.verifying ? "" : AuthenticationWord(requestedAuth);
    return report.readResult == LinkResult::Ok ? AuthenticationWord(report.before.auth) : "";
}

}  // namespace

// Each row has its outcome's word (a failed read's is the probe's); a
// verified one says so.
const char* ProvisionStatusWord(const ConfigureReport& report)
{
    if (report.verified)
        return CliRow(CliOutcome::Verified).word;
    return report.outcome.word != nullptr ? report.outcome.word : "";
}

std::string FormatProvisionLine(const std::string& port, int requestedAuth, const ConfigureReport& report, bool json)
{
    const std::vector<ReportField> fields = {
        {"port", port, true},
        {"status", ProvisionStatusWord(report), true},
        {"firmware", DeviceAnswered(report) ? std::string(report.before.version) : "", true},
        {"name", report.readResult == LinkResult::Ok ? DisplayNameOf(report.before) : "", true},
        {"authenticationBefore", report.readResult == LinkResult::Ok ? AuthenticationWord(report.before.auth) : "",
         true},
        {"authenticationAfter", AuthenticationAfter(requestedAuth, report), true},
        {"exitCode", std::to_string(ToInt(report.outcome.code)), false},
    };
    std::string line;
    for (const ReportField& field : fields) {
        if (!json) {
            line += (line.empty() ? "" : "\t") + EscapeForText(field.value);
            continue;
        }
        if (field.value.empty())
            continue;
        line += line.empty() ? "{\"" : ",\"";
        line += field.key;
        line += "\":";
        line += field.quoted ? JsonString(field.value) : field.value;
    }
    return line + (json ? "}\n" : "\n");
}
