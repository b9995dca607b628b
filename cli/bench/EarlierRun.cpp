#include "EarlierRun.h"

#include "common/JsonLine.h"
#include "output/OutputFormat.h"
#include "system/RegularFile.h"

#include <cstdio>

namespace {

// Longer lines are no entry of this program's, whose longest is a few
// kilobytes (a reason and a name).
constexpr std::size_t MaxEntryLength = 64 * 1024;

// The text of `key`, or "" when the entry has none or has another kind of
// value there: a record edited by hand may hold anything.
std::string TextOf(const Json& entry, const char* key)
{
    const auto value = entry.find(key);
    return value != entry.end() && value->is_string() ? value->get<std::string>() : "";
}

bool IsZero(const Json& entry, const char* key)
{
    const auto value = entry.find(key);
    return value != entry.end() && value->is_number_integer() && value->get<long long>() == 0;
}

void ReadEntry(const std::string& line, EarlierRun& earlier)
{
    Json entry;
    if (!ReadJsonLine(line, entry) || !entry.is_object()) {
        ++earlier.unreadLines;
        return;
    }
    const std::string pinSet = TextOf(entry, "pinSet");
    if (!pinSet.empty())
        earlier.pinsSet.insert(pinSet);
    const std::string device = TextOf(entry, "device");
    if (TextOf(entry, "command") != "provision" || device.empty())
        return;
    earlier.found = true;
    if (TextOf(entry, "entry") == "result" && IsZero(entry, "exitCode")) {
        const std::string earlierRun = TextOf(entry, "earlierRun");
        earlier.doneDevices[device] = {
            RequestKey(TextOf(entry, "authenticationAsked"), TextOf(entry, "pinAsked")),
            earlierRun.empty() ? TextOf(entry, "run") : earlierRun,
        };
    } else {
        earlier.doneDevices.erase(device);
    }
}

}  // namespace

std::string RequestKey(const std::string& authenticationAsked, const std::string& pinAsked)
{
    return "authentication " + authenticationAsked + ", PIN " + pinAsked;
}

bool FindEarlierRun(const std::string& path, EarlierRun& earlier, std::string& error)
{
    earlier = EarlierRun();
    std::string reason;
    bool missing = false;
    const UniqueFile file = OpenRegularFile(path, "rb", reason, &missing);
    if (!file.IsValid() && missing)
        return true;
    if (!file.IsValid()) {
        error = "Cannot read the record " + EscapeForText(path) + ": " + reason + ".";
        return false;
    }
    std::string line;
    bool tooLong = false;
    for (int c; (c = std::fgetc(file.Get())) != EOF;) {
        if (c != '\n') {
            tooLong = tooLong || line.size() == MaxEntryLength;
            if (!tooLong)
                line += static_cast<char>(c);
            continue;
        }
        if (tooLong)
            ++earlier.unreadLines;
        else if (!line.empty())
            ReadEntry(line, earlier);
        line.clear();
        tooLong = false;
    }
    if (std::ferror(file.Get())) {
        error = "Cannot read the record " + EscapeForText(path) + ": the read failed.";
        return false;
    }
    return true;
}
