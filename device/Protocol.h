// The device's text protocol: its access code, its reply line, and the
// functions that read and make its messages. No I/O here.
#pragma once

#include "DeviceInfo.h"
#include "LinkResult.h"

#include <cstddef>
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

// Splits a reply line as "%s %s %i %s %s" would (echo, version, flag, PIN,
// name) into a cleared `info`, finds the display name, and checks the reply,
// in this order:
//   BadReply            the line holds a NUL byte before its end, is longer
//                       than a ReplyLine can hold, lacks echo, version, flag
//                       or PIN, or one of these does not fit its field;
//                       `info` is left cleared: nothing of it may be shown;
//   BadEcho             the first token is not AccessCode (byte for byte);
//   UnsupportedVersion  the version is not exactly 1.1, 1.2 or 1.3;
//   Ok                  and the flag is normalised to 1 or 0.
// After BadEcho and UnsupportedVersion `info` holds the tokens as read, the
// flag not normalised. The name may be missing (then it is empty).
LinkResult ParseReply(const ReplyLine& line, DeviceInfo& info);

// The splitting step of ParseReply on its own: reads `length` bytes of `text`
// exactly as sscanf(text, "%s %s %i %s %s", echo, version, &auth, pin, name)
// reads a string that ends there, in the C locale, and returns the number of
// conversions made (0 where sscanf would return EOF). Differences, both for
// safety: a token longer than its field fails its conversion and writes
// nothing, and a flag outside the 32-bit range saturates at the nearest limit
// (the C library truncates, so 0x100000000 would read as 0). Fields from the
// first failed conversion on keep what they held. NUL bytes are ordinary
// non-white-space bytes here; ParseReply rejects them before.
int ScanReply(const char* text, std::size_t length, DeviceInfo& info);

// The configure command "%s %i %s ": access code, the flag in decimal, the
// PIN up to any NUL in it, each followed by one space. No line terminator,
// no NUL.
std::string BuildConfigureCommand(int auth, const std::string& pin);
