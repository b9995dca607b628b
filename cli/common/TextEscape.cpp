#include "TextEscape.h"

#include <cstdio>

namespace {

std::string HexEscape(const char* prefix, unsigned char byte, int digits)
{
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, "%s%0*X", prefix, digits, static_cast<unsigned>(byte));
    return buffer;
}

const char* ShortJsonEscape(unsigned char byte)
{
    switch (byte) {
        case '"':
            return "\\\"";
        case '\\':
            return "\\\\";
        case '\b':
            return "\\b";
        case '\f':
            return "\\f";
        case '\n':
            return "\\n";
        case '\r':
            return "\\r";
        case '\t':
            return "\\t";
        default:
            return nullptr;
    }
}

}  // namespace

std::string EscapeForText(const std::string& bytes)
{
    std::string text;
    for (char c : bytes) {
        const unsigned char byte = static_cast<unsigned char>(c);
        if (byte < 0x20 || (byte >= 0x7F && byte <= 0x9F))
            text += HexEscape("\\x", byte, 2);
        else
            text += c;
    }
    return text;
}

std::string JsonString(const std::string& bytes)
{
    std::string json = "\"";
    for (char c : bytes) {
        const unsigned char byte = static_cast<unsigned char>(c);
        if (const char* escape = ShortJsonEscape(byte))
            json += escape;
        else if (byte < 0x20 || byte >= 0x7F)
            json += HexEscape("\\u", byte, 4);
        else
            json += c;
    }
    json += '"';
    return json;
}
