// The device's text protocol as pure functions: no I/O here.
#pragma once

#include "DeviceInfo.h"

#include <string>

// Splits a reply line as "%s %s %i %s %s" would (echo, version, flag, PIN,
// name) into a cleared `info`, finds the display name, and checks the reply:
//   BadReply            the line holds a NUL byte, lacks echo, version, flag
//                       or PIN, or a token does not fit its field;
//   BadEcho             the first token is not AccessCode;
//   UnsupportedVersion  the version is not 1.1, 1.2 or 1.3;
//   Ok                  and the flag is normalised to 1 or 0.
LinkResult ParseReply(const ReplyLine& line, DeviceInfo& info);

// The configure command "%s %i %s ": access code, flag, PIN, each followed by
// one space except that the access code is followed by exactly one. No line
// terminator, no NUL.
std::string BuildConfigureCommand(int auth, const std::string& pin);
