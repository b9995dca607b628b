// Whatever bytes a device sends go through the line reader and the reply
// parser without leaving their buffers, give a consistent outcome, show only
// bytes the device sent, and split the line as the C library's sscanf does.
// Built by the fuzz preset (clang's libFuzzer and sanitizers), run by
// ctest --preset fuzz (tests/fuzz/run-fuzz).
#include "Protocol.h"
#include "ReplyLineReader.h"
#include "Require.h"
#include "ScriptedSerialPort.h"

#include <algorithm>
#include <climits>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>

namespace {

template <std::size_t Size>
bool Terminated(const char (&field)[Size])
{
    return std::memchr(field, '\0', Size) != nullptr;
}

// The sscanf reference: %lli reads the same bytes as %i but keeps huge values
// apart from their 32-bit remainders, so clamping it gives the saturated flag.
void CompareWithSscanf(const ReplyLine& line, LinkResult result, const DeviceInfo& info)
{
    char echo[ReplyLine::Capacity] = {}, version[ReplyLine::Capacity] = {};
    char pin[ReplyLine::Capacity] = {}, name[ReplyLine::Capacity] = {};
    long long flag = 0;
    const int converted = std::sscanf(line.bytes, "%s %s %lli %s %s", echo, version, &flag, pin, name);
    if (std::strlen(echo) >= DeviceInfo::EchoSize || std::strlen(version) >= DeviceInfo::VersionSize ||
        std::strlen(pin) >= DeviceInfo::PinSize)
        return;  // the parser rejects what sscanf would write past the fields
    Require((converted >= 4) == (result != LinkResult::BadReply),
            "bad exactly when echo, version, flag or PIN is missing");
    if (result == LinkResult::BadReply)
        return;
    const long long saturated = std::clamp<long long>(flag, INT_MIN, INT_MAX);
    Require(std::strcmp(info.echo, echo) == 0 && std::strcmp(info.version, version) == 0, "echo and version as sscanf");
    Require(std::strcmp(info.pin, pin) == 0 && info.name == name, "PIN and name as sscanf");
    Require(info.auth == (result == LinkResult::Ok ? saturated != 0 : saturated), "flag as sscanf, saturated");
}

void CheckParse(const ReplyLine& line)
{
    DeviceInfo info;
    const LinkResult result = ParseReply(line, info);
    Require(Terminated(info.echo) && Terminated(info.version) && Terminated(info.pin), "fields end inside their size");
    const std::string text(line.bytes, line.length);
    const bool hasNul = text.find('\0') != std::string::npos;
    const bool echoMatches = std::strcmp(info.echo, AccessCode) == 0;
    const bool versionKnown = ClassifyFirmware(info.version) != Firmware::Unknown;
    switch (result) {
        case LinkResult::BadReply:
            Require(info.echo[0] == '\0' && info.version[0] == '\0' && info.pin[0] == '\0' && info.auth == 0 &&
                        info.name.empty() && info.displayName.empty(),
                    "nothing kept of a bad reply");
            break;
        case LinkResult::BadEcho:
            Require(!echoMatches, "a bad echo differs");
            break;
        case LinkResult::UnsupportedVersion:
            Require(echoMatches && !versionKnown, "only the version is wrong");
            break;
        case LinkResult::Ok:
            Require(echoMatches && versionKnown && (info.auth == 0 || info.auth == 1), "Ok is all good");
            break;
        default:
            Require(false, "the parser gives only parse outcomes");
    }
    Require(!hasNul || result == LinkResult::BadReply, "a NUL makes a bad reply");
    const std::size_t nameAt = text.size() - std::min(text.size(), info.displayName.size());
    Require(text.compare(nameAt, std::string::npos, info.displayName) == 0, "display name is the line's end");
    Require(info.name.empty() || text.find(info.name) != std::string::npos, "name comes from the line");
    if (!hasNul && line.length < ReplyLine::Capacity)
        CompareWithSscanf(line, result, info);
}

// Reads lines until the device falls silent; every line holds exactly the
// bytes that came, in order. The device sends the fuzzer's bytes as its
// answer to the query, then falls silent: its next read times out at once.
void ReadAllLines(const std::uint8_t* data, std::size_t size)
{
    const auto script = std::make_shared<PortScript>(std::string(reinterpret_cast<const char*>(data), size));
    ScriptedSerialPort port(script);
    Require(port.Open("fuzz", NoDeadline).Ok(), "scripted port opens");
    Require(port.Write(AccessCode, AccessCodeLength).Ok(), "the query is sent");
    for (std::size_t reads = 0; reads <= size; ++reads) {
        const std::size_t before = script->BytesRead();
        ReplyLine line;
        const LinkResult result = ReadReplyLine(port, line);
        if (result == LinkResult::Timeout)
            return;
        Require(script->BytesRead() > before, "every line consumes bytes");
        const std::string sent(reinterpret_cast<const char*>(data) + before, script->BytesRead() - before);
        if (result == LinkResult::BadReply) {
            Require(sent.size() >= ReplyLine::Capacity - 1 && sent.find('\n') >= ReplyLine::Capacity - 1,
                    "only an over-long line is bad");
            continue;
        }
        Require(result == LinkResult::Ok, "the reader gives Ok, Timeout or BadReply");
        Require(line.length < ReplyLine::Capacity && line.bytes[line.length] == '\0', "line ends inside the buffer");
        Require(sent.compare(0, std::string::npos, line.bytes, line.length) == 0, "the line is the bytes sent");
        Require(sent.find('\n') == sent.size() - 1, "a line ends at its first line feed");
        CheckParse(line);
    }
    Require(false, "the reader stops when the device falls silent");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    // The parser must hold for any line, even one the reader would not make.
    ReplyLine raw;
    raw.length = std::min(size, ReplyLine::Capacity - 1);
    if (raw.length > 0)
        std::memcpy(raw.bytes, data, raw.length);
    CheckParse(raw);

    ReadAllLines(data, size);
    return 0;
}
