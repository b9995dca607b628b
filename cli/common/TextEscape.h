// Bytes shown safely as text for people (JSON is JsonLine.h's).
//
// Names, versions and PINs are bytes from the device and are not trusted to be
// printable. Text shows control bytes (below 0x20, 0x7F, and 0x80 to 0x9F,
// which terminals take as controls too: 0x9B starts a control sequence) as
// \xHH escapes, so a name can neither move the terminal's cursor nor break a
// line or a column; every other byte, the backslash too, stays as it is. Port
// and file names in messages are shown the same way.
#pragma once

#include <string>

std::string EscapeForText(const std::string& bytes);

// Each byte as two lowercase hex digits.
std::string HexText(const std::string& bytes);
