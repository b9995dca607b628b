#include "OutputFormat.h"

#include "OutcomeTable.h"

namespace {

void AppendJsonField(std::string& json, const char* key, const std::string& value)
{
    json += ",\"";
    json += key;
    json += "\":";
    json += JsonString(value);
}

// The fields a device reports, after `"port":...` or at the start of an object
// (the leading comma is then dropped by the caller).
std::string DeviceJsonFields(const DeviceInfo& info)
{
    std::string fields;
    AppendJsonField(fields, "name", DisplayNameOf(info));
    AppendJsonField(fields, "firmware", info.version);
    AppendJsonField(fields, "authentication", AuthenticationText(info));
    AppendJsonField(fields, "pin", info.pin);
    return fields;
}

// Unknown details are left out.
void AppendPortDetailsJson(std::string& json, const PortDetails& details)
{
    AppendJsonField(json, "kind", PortKindWord(details.kind));
    const std::pair<const char*, const std::string*> optional[] = {
        {"direction", &details.direction}, {"address", &details.address}, {"description", &details.description}};
    for (const auto& field : optional) {
        if (!field.second->empty())
            AppendJsonField(json, field.first, *field.second);
    }
}

}  // namespace

std::string DisplayNameOf(const DeviceInfo& info)
{
    std::string name = info.displayName;
    if (!name.empty() && name.back() == '\n')
        name.pop_back();
    if (!name.empty() && name.back() == '\r')
        name.pop_back();
    return name;
}

const char* AuthenticationWord(int auth)
{
    return auth != 0 ? "Enable" : "Disable";
}

const char* AuthenticationText(const DeviceInfo& info)
{
    return AuthenticationWord(info.auth);
}

std::string FormatQueryText(const DeviceInfo& info)
{
    return "name: " + EscapeForText(DisplayNameOf(info)) + "\n" + "firmware: " + EscapeForText(info.version) + "\n" +
           "authentication: " + AuthenticationText(info) + "\n" + "pin: " + EscapeForText(info.pin) + "\n";
}

std::string FormatQueryJson(const DeviceInfo& info)
{
    return "{" + DeviceJsonFields(info).substr(1) + "}\n";
}

const char* ProbeStatusWord(LinkResult result)
{
    return ReadRow(result).word;
}

namespace {

// Columns keep their places, so a script can take the fifth one; only the
// empty ones at the end are left out.
std::string JoinColumns(std::vector<std::string> columns)
{
    while (columns.size() > 1 && columns.back().empty())
        columns.pop_back();
    std::string line;
    for (std::size_t i = 0; i < columns.size(); ++i)
        line += (i == 0 ? "" : "\t") + columns[i];
    return line + "\n";
}

}  // namespace

std::string FormatScanText(const std::vector<ScanEntry>& entries)
{
    std::string text;
    for (const ScanEntry& entry : entries) {
        std::vector<std::string> columns = {EscapeForText(entry.port)};
        if (entry.probed) {
            const bool answered = entry.result == LinkResult::Ok || entry.result == LinkResult::UnsupportedVersion;
            columns.push_back(ProbeStatusWord(entry.result));
            columns.push_back(answered ? EscapeForText(entry.info.version) : "");
            columns.push_back(entry.result == LinkResult::Ok ? EscapeForText(DisplayNameOf(entry.info)) : "");
        }
        const PortDetails& details = entry.details;
        columns.push_back(PortKindWord(details.kind));
        columns.push_back(details.direction);
        columns.push_back(EscapeForText(details.address));
        columns.push_back(EscapeForText(details.description));
        columns.push_back(entry.probed ? EscapeForText(entry.reason) : "");
        text += JoinColumns(columns);
    }
    return text;
}

std::string FormatScanJson(const std::vector<ScanEntry>& entries)
{
    std::string json = "[";
    for (std::size_t i = 0; i < entries.size(); ++i) {
        const ScanEntry& entry = entries[i];
        json += i == 0 ? "\n" : ",\n";
        json += "{\"port\":" + JsonString(entry.port);
        if (entry.probed) {
            AppendJsonField(json, "status", ProbeStatusWord(entry.result));
            if (entry.result == LinkResult::Ok)
                json += DeviceJsonFields(entry.info);
            else if (entry.result == LinkResult::UnsupportedVersion)
                AppendJsonField(json, "firmware", entry.info.version);
        }
        AppendPortDetailsJson(json, entry.details);
        if (entry.probed && !entry.reason.empty())
            AppendJsonField(json, "reason", entry.reason);
        json += "}";
    }
    json += entries.empty() ? "]\n" : "\n]\n";
    return json;
}
