// What the device link knows about the target device and its text protocol:
// the access code, the reply line, the parsed reply and the outcomes of every
// operation on the link.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

// Every message to the device starts with these 13 bytes. They are sent
// without a terminator and the device echoes them as the first reply token.
inline constexpr char AccessCode[] = "kwd38m4tQZXh7";
inline constexpr std::size_t AccessCodeLength = sizeof AccessCode - 1;

// One reply line as received: the bytes in order up to and including the
// first line feed, then a NUL. A carriage return is an ordinary byte here.
struct ReplyLine {
    static constexpr std::size_t Capacity = 128;  // including the NUL
    char bytes[Capacity] = {};
    std::size_t length = 0;  // bytes stored before the NUL
};

// Outcome of every device link operation. BadReply covers replies that the
// device could not have meant: too long, fields that do not fit, missing
// tokens, NUL bytes. The window reports it as it reports a bad echo.
enum class LinkResult {
    Ok,
    OpenFailed,
    SetupFailed,
    WriteFailed,
    ShortWrite,
    Timeout,
    BadEcho,
    BadReply,
    UnsupportedVersion,
};

const char* LinkResultName(LinkResult result);

// The firmware versions this program knows. They decide what the user may
// change: 1.1 has no name display, only 1.3 lets Enable re-open the PIN fields.
enum class Firmware { V1_1, V1_2, V1_3, Unknown };

Firmware ClassifyFirmware(const char* version);

// One device's answer to the query, split into its fields. Each query starts
// from a cleared DeviceInfo: nothing of an earlier reply survives into a new one.
struct DeviceInfo {
    static constexpr std::size_t PinSize = 16;      // at most 15 characters
    static constexpr std::size_t VersionSize = 8;   // at most 7 characters
    static constexpr std::size_t EchoSize = 68;     // at most 67 characters

    std::string name;         // fifth token: the first word of the device name, or empty
    char pin[PinSize] = {};   // fourth token: the PIN set in the device
    std::int32_t auth = 0;    // third token; 1 or 0 once a reply is Ok
    char version[VersionSize] = {};  // second token
    char echo[EchoSize] = {};        // first token; must equal AccessCode
    std::string displayName;  // the line after its fourth space, terminator included
};
