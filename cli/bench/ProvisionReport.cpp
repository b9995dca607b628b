#include "ProvisionReport.h"

#include "common/CliOptions.h"
#include "common/JsonLine.h"
#include "output/OutcomeTable.h"
#include "output/OutputFormat.h"

#include <algorithm>
#include <utility>
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
    // configure without --auth sends the device's own setting back.
    const int sent = result.requestedAuth == KeepDeviceAuth ? report.before.auth : result.requestedAuth;
    if (report.written || (result.check && report.outcome.code == ExitCode::Success))
        return report.verifying ? "" : AuthenticationWord(sent);
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

// On a terminal each column is as wide as its name, or as what it usually
// holds where that is wider: rows are printed as they end, so no width can
// wait for the widest. A wider text pushes the rest of its line along.
std::size_t ColumnWidth(const std::string& name)
{
    static const std::pair<const char*, std::size_t> usual[] = {{"port", 16}, {"status", 14},    {"name", 20},
                                                                {"pin", 12},  {"pinBefore", 12}, {"pinAfter", 12}};
    std::size_t width = TextWidth(name);
    for (const auto& column : usual)
        if (name == column.first)
            width = std::max(width, column.second);
    return width;
}

// The widths of the columns of `fields` and of the plan's `otherColumns`.
std::vector<std::size_t> ColumnWidths(const std::vector<JsonField>& fields,
                                      const std::vector<std::string>& otherColumns)
{
    std::vector<std::size_t> widths;
    for (const JsonField& field : fields)
        widths.push_back(ColumnWidth(field.key));
    for (const std::string& column : otherColumns)
        widths.push_back(ColumnWidth(EscapeForText(column)));
    return widths;
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

std::string ProvisionHeaderLine(bool check, const std::vector<std::string>& otherColumns, bool aligned)
{
    ProvisionRowResult none;
    none.check = check;
    const std::vector<JsonField> fields = Fields(none);
    std::vector<std::string> columns;
    for (const JsonField& field : fields)
        columns.emplace_back(field.key);
    for (const std::string& column : otherColumns)
        columns.push_back(EscapeForText(column));
    return JoinColumns(columns, aligned ? ColumnWidths(fields, otherColumns) : std::vector<std::size_t>());
}

std::string FormatProvisionLine(const ProvisionRowResult& result, bool json, bool aligned)
{
    const std::vector<JsonField> fields = Fields(result);
    if (json) {
        Json entry = JsonObject(fields);
        AddPlanColumns(entry, result.columns);
        return JsonDump(entry) + "\n";
    }
    std::vector<std::string> columns;
    std::vector<std::string> otherColumns;
    for (const JsonField& field : fields)
        columns.push_back(EscapeForText(field.value));
    for (const auto& column : result.columns) {
        columns.push_back(EscapeForText(column.second));
        otherColumns.push_back(column.first);
    }
    return JoinColumns(columns, aligned ? ColumnWidths(fields, otherColumns) : std::vector<std::size_t>());
}
