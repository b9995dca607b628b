#include "DeviceSettings.h"

#include "CEscapes.h"

#include <cerrno>
#include <climits>
#include <cstdlib>

namespace {

constexpr int MaxMilliseconds = 600000;  // ten minutes is longer than any test
constexpr int MaxPartialBytes = 1 << 20;

// Decimal, no sign, no spaces, within [0, max].
bool ParseCount(const std::string& text, int max, int& out)
{
    if (text.empty() || text.find_first_not_of("0123456789") != std::string::npos)
        return false;
    errno = 0;
    const long value = std::strtol(text.c_str(), nullptr, 10);
    if (errno == ERANGE || value > max)
        return false;
    out = static_cast<int>(value);
    return true;
}

bool ParseSwitch(const std::string& text, bool& out)
{
    if (text == "1" || text == "true" || text == "yes" || text == "on") {
        out = true;
        return true;
    }
    if (text == "0" || text == "false" || text == "no" || text == "off") {
        out = false;
        return true;
    }
    return false;
}

bool ParseMode(const std::string& text, ReplyMode& out)
{
    if (text == "answer")
        out = ReplyMode::Answer;
    else if (text == "silent")
        out = ReplyMode::Silent;
    else if (text == "partial")
        out = ReplyMode::Partial;
    else if (text == "hangup")
        out = ReplyMode::Hangup;
    else
        return false;
    return true;
}

}  // namespace

SettingKind KindOfSetting(const std::string& key)
{
    if (key == "name" || key == "version" || key == "auth" || key == "pin")
        return SettingKind::State;
    if (key == "mode" || key == "partial" || key == "echo" || key == "raw" || key == "crlf" || key == "delay" ||
        key == "gap" || key == "baud-pacing")
        return SettingKind::Fault;
    return SettingKind::Unknown;
}

std::string ApplySetting(const std::string& key, const std::string& value, DeviceState& state, ReplyFaults& faults)
{
    if (key == "name")
        state.name = value;
    else if (key == "version")
        state.version = value;
    else if (key == "auth")
        state.auth = value;
    else if (key == "pin")
        state.pin = value;
    else if (key == "echo")
        faults.echo = value;
    else if (key == "mode") {
        if (!ParseMode(value, faults.mode))
            return "mode must be answer, silent, partial or hangup, not '" + value + "'";
    } else if (key == "partial") {
        if (!ParseCount(value, MaxPartialBytes, faults.partial))
            return "partial needs a byte count, not '" + value + "'";
    } else if (key == "raw") {
        std::string bytes;
        const std::string error = DecodeCEscapes(value, bytes);
        if (!error.empty())
            return "raw: " + error;
        faults.raw = bytes;
    } else if (key == "crlf") {
        if (!ParseSwitch(value, faults.crlf))
            return "crlf must be 1 or 0, not '" + value + "'";
    } else if (key == "baud-pacing") {
        if (!ParseSwitch(value, faults.baudPacing))
            return "baud-pacing must be 1 or 0, not '" + value + "'";
    } else if (key == "delay") {
        if (!ParseCount(value, MaxMilliseconds, faults.delayMs))
            return "delay needs milliseconds (0 to 600000), not '" + value + "'";
    } else if (key == "gap") {
        if (!ParseCount(value, MaxMilliseconds, faults.gapMs))
            return "gap needs milliseconds (0 to 600000), not '" + value + "'";
    } else {
        return "unknown setting '" + key + "'";
    }
    return {};
}

std::string BuildReply(const DeviceState& state, const ReplyFaults& faults)
{
    if (faults.raw)
        return *faults.raw;
    const std::string echo = faults.echo ? *faults.echo : std::string(DeviceAccessCode);
    return echo + ' ' + state.version + ' ' + state.auth + ' ' + state.pin + ' ' + state.name +
           (faults.crlf ? "\r\n" : "\n");
}

const char* ReplyModeName(ReplyMode mode)
{
    switch (mode) {
        case ReplyMode::Answer:
            return "answer";
        case ReplyMode::Silent:
            return "silent";
        case ReplyMode::Partial:
            return "partial";
        case ReplyMode::Hangup:
            return "hangup";
    }
    return "?";
}
