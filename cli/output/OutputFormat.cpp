#include "OutputFormat.h"

#include "OutcomeTable.h"
#include "common/JsonLine.h"

#include <algorithm>

namespace {

// The fields a device reports; its own texts keep their bytes in a Hex
// field when they are not UTF-8.
void AddDeviceJson(Json& object, const DeviceInfo& info)
{
    SetJsonText(object, "name", DisplayNameOf(info), JsonValue::DeviceText);
    SetJsonText(object, "firmware", info.version, JsonValue::DeviceText);
    SetJsonText(object, "authentication", AuthenticationText(info));
    SetJsonText(object, "pin", info.pin, JsonValue::DeviceText);
}

// Unknown details are left out.
void AddPortDetailsJson(Json& object, const PortDetails& details)
{
    SetJsonText(object, "kind", PortKindWord(details.kind));
    const std::pair<const char*, const std::string*> optional[] = {
        {"direction", &details.direction}, {"address", &details.address}, {"description", &details.description}};
    for (const auto& field : optional) {
        if (!field.second->empty())
            SetJsonText(object, field.first, *field.second);
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
    Json object = Json::object();
    AddDeviceJson(object, info);
    return JsonDump(object) + "\n";
}

const char* ProbeStatusWord(LinkResult result)
{
    return ReadRow(result).word;
}

// Columns keep their places, so a script can take the fifth one; only the
// empty ones at the end are left out.
std::string JoinColumns(std::vector<std::string> columns, const std::vector<std::size_t>& widths)
{
    while (columns.size() > 1 && columns.back().empty())
        columns.pop_back();
    std::string line;
    for (std::size_t i = 0; i < columns.size(); ++i) {
        line += columns[i];
        if (i + 1 == columns.size())
            break;
        if (widths.empty()) {
            line += '\t';
            continue;
        }
        const std::size_t width = i < widths.size() ? widths[i] : 0;
        const std::size_t used = TextWidth(columns[i]);
        line += std::string((width > used ? width - used : 0) + 2, ' ');
    }
    return line + "\n";
}

std::size_t TextWidth(const std::string& text)
{
    std::size_t width = 0;
    for (char c : text)
        width += (static_cast<unsigned char>(c) & 0xC0) != 0x80 ? 1 : 0;
    return width;
}

std::string FormatScanText(const std::vector<ScanEntry>& entries, bool aligned)
{
    std::vector<std::vector<std::string>> lines;
    std::vector<std::size_t> widths;
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
        widths.resize(std::max(widths.size(), columns.size()), 0);
        for (std::size_t i = 0; i < columns.size(); ++i)
            widths[i] = std::max(widths[i], TextWidth(columns[i]));
        lines.push_back(columns);
    }
    // The whole list is known before it is printed: the columns can be as
    // wide as their widest entry.
    std::string text;
    for (const std::vector<std::string>& columns : lines)
        text += JoinColumns(columns, aligned ? widths : std::vector<std::size_t>());
    return text;
}

std::string FormatScanJson(const std::vector<ScanEntry>& entries)
{
    // One port a line, so that a person can read the list too.
    std::string json = "[";
    for (std::size_t i = 0; i < entries.size(); ++i) {
        const ScanEntry& entry = entries[i];
        Json object = Json::object();
        SetJsonText(object, "port", entry.port);
        if (entry.probed) {
            SetJsonText(object, "status", ProbeStatusWord(entry.result));
            if (entry.result == LinkResult::Ok)
                AddDeviceJson(object, entry.info);
            else if (entry.result == LinkResult::UnsupportedVersion)
                SetJsonText(object, "firmware", entry.info.version, JsonValue::DeviceText);
        }
        AddPortDetailsJson(object, entry.details);
        if (entry.probed && !entry.reason.empty())
            SetJsonText(object, "reason", entry.reason);
        json += (i == 0 ? "\n" : ",\n") + JsonDump(object);
    }
    json += entries.empty() ? "]\n" : "\n]\n";
    return json;
}
