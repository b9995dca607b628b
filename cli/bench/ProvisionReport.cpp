#include "ProvisionReport.h"

#include "common/JsonLine.h"
#include "output/OutcomeTable.h"
#include "output/OutputFormat.h"

#include <vector>

namespace {

bool DeviceAnswered(const ConfigureReport& report)
{
    return report.readResult == LinkResult::Ok || report.readResult == LinkResult::UnsupportedVersion;
}

// What the device holds afterwards, as far as this program knows it: what
// it reported when read again, else what was written, else (nothing written)
// what it had; --check: what it would hold.
std::string AuthenticationAfter(const ProvisionRowResult& result)
{
    const ConfigureReport& report = result.report;
    if (report.readAgain)
        return AuthenticationWord(report.after.auth);
    if (report.written || (result.check && report.outcome.code == ExitCode::Success))
        return report.verifying ? "" : AuthenticationWord(result.requestedAuth);
    return report.readResult == LinkResult::Ok ? AuthenticationWord(report.before.auth) : "";
}

std::vector<JsonField> Fields(const ProvisionRowResult& result)
{
    const ConfigureReport& report = result.report;
    const bool read = report.readResult == LinkResult::Ok;
    std::vector<JsonField> fields = {
        {"port", result.port, JsonValue::Text},
        {"status", ProvisionStatusWord(result), JsonValue::Text},
        {"firmware", DeviceAnswered(report) ? std::string(report.before.version) : "", JsonValue::DeviceText},
        {"name", read ? DisplayNameOf(report.before) : "", JsonValue::DeviceText},
        {"authenticationBefore", read ? AuthenticationWord(report.before.auth) : "", JsonValue::Text},
        {"authenticationAfter", AuthenticationAfter(result), JsonValue::Text},
        {"exitCode", std::to_string(ToInt(report.outcome.code)), JsonValue::Literal},
    };
    if (result.check) {
        fields.push_back({"pinBefore", read ? std::string(report.before.pin) : "", JsonValue::DeviceText});
        fields.push_back(
            {"pinAfter", report.outcome.code == ExitCode::Success ? result.pinAfter : "", JsonValue::Text});
    } else {
        fields.push_back({"pin", result.pinDrawn, JsonValue::Text});
    }
    fields.push_back({"reason", report.outcome.message, JsonValue::Text});
    return fields;
}

}  // namespace

// A failed row has its outcome's word, which for a failed read is the
// probe's; a verified one says so, and --check tells whether the row would
// change the device.
std::string ProvisionStatusWord(const ProvisionRowResult& result)
{
    const ConfigureReport& report = result.report;
    if (result.doneEarlier)
        return DoneEarlierStatus;
    if (report.outcome.code == ExitCode::Success && result.check) {
        const bool same = report.before.auth == result.requestedAuth && result.pinAfter == report.before.pin;
        return same ? UnchangedStatus : WouldChangeStatus;
    }
    if (report.verified)
        return CliRow(CliOutcome::Verified).word;
    return report.outcome.word != nullptr ? report.outcome.word : FailedStatus;
}

void AddPlanColumns(Json& entry, const std::vector<std::pair<std::string, std::string>>& columns)
{
    if (columns.empty())
        return;
    Json object = Json::object();
    for (const auto& column : columns)
        SetJsonText(object, column.first, column.second);
    entry["columns"] = object;
}

std::string ProvisionHeaderLine(bool check, const std::vector<std::string>& otherColumns)
{
    ProvisionRowResult none;
    none.check = check;
    std::string line;
    for (const JsonField& field : Fields(none))
        line += (line.empty() ? "" : "\t") + std::string(field.key);
    for (const std::string& column : otherColumns)
        line += "\t" + EscapeForText(column);
    return line + "\n";
}

std::string FormatProvisionLine(const ProvisionRowResult& result, bool json)
{
    const std::vector<JsonField> fields = Fields(result);
    if (json) {
        Json entry = JsonObject(fields);
        AddPlanColumns(entry, result.columns);
        return JsonDump(entry) + "\n";
    }
    std::vector<std::string> columns;
    for (const JsonField& field : fields)
        columns.push_back(EscapeForText(field.value));
    for (const auto& column : result.columns)
        columns.push_back(EscapeForText(column.second));
    while (columns.back().empty())
        columns.pop_back();  // the exit code is never empty
    std::string line;
    for (const std::string& column : columns)
        line += (line.empty() ? "" : "\t") + column;
    return line + "\n";
}
