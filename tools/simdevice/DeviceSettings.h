// What the simulated device is (its state) and how it misbehaves when asked to
// (its reply faults), and the one place where a "key=value" setting is applied
// to them. Options and the control file both go through ApplySetting, so the
// same keys mean the same thing everywhere.
#pragma once

#include <cstddef>
#include <optional>
#include <string>

// The device's access code: it recognises only these 13 bytes as the start of
// a message and echoes them as the first token of its reply.
inline constexpr char DeviceAccessCode[] = "kwd38m4tQZXh7";
inline constexpr std::size_t DeviceAccessCodeLength = sizeof DeviceAccessCode - 1;

struct DeviceState {
    std::string name = "Tolvane Demo";
    std::string version = "1.3";
    std::string auth = "1";  // stored as the token received, not as a number
    std::string pin = "1234";
    long queries = 0;
    long configures = 0;
    // The line the host had set when the last query came: "115200 8N1 none"
    // (speed, data bits, parity, stop bits, flow control). It tells whether
    // a serial server between host and device set the line as asked.
    std::string queryLine;
    // Times a host let go of the port (what it left unread is gone then), and
    // times the device dropped the line: a test that reopens the port waits
    // for one of them, so it never reads bytes of the last exchange.
    long releases = 0;
    long hangups = 0;
};

enum class ReplyMode {
    Answer,   // the whole reply
    Silent,   // no reply at all
    Partial,  // the first `partial` bytes of the reply, then silence
    Hangup,   // `partial` bytes, then the line is dropped (once)
};

struct ReplyFaults {
    ReplyMode mode = ReplyMode::Answer;
    int partial = 0;                  // bytes sent in Partial and Hangup modes
    std::optional<std::string> echo;  // replaces the access code in the reply
    std::optional<std::string> raw;   // replaces the whole reply
    bool crlf = false;                // end the reply with "\r\n"
    int delayMs = 0;                  // pause before the first byte
    int gapMs = 0;                    // pause between two bytes
    bool baudPacing = false;          // bytes no faster than a 115200 8N1 line
};

enum class SettingKind { State, Fault, Unknown };

// The kind of a setting's key: state keys replace the device state, fault keys
// change how it replies.
SettingKind KindOfSetting(const std::string& key);

// Applies one setting. Returns an empty string on success, otherwise a message
// that says what is wrong with the value.
std::string ApplySetting(const std::string& key, const std::string& value, DeviceState& state, ReplyFaults& faults);

// The reply the device sends for a query in its current state, before faults
// that only cut or pace it (raw, echo and crlf are applied here).
std::string BuildReply(const DeviceState& state, const ReplyFaults& faults);

const char* ReplyModeName(ReplyMode mode);
