#include "TextEscape.h"

#include <cstdio>

namespace {

std::string HexEscape(const char* prefix, unsigned char byte, int digits)
{
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, "%s%0*X", prefix, digits, static_cast<unsigned>(byte));
    return buffer;
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

std::string HexText(const std::string& bytes)
{
    static const char Digits[] = "0123456789abcdef";
    std::string hex;
    for (char c : bytes) {
        const unsigned char byte = static_cast<unsigned char>(c);
        hex += Digits[byte >> 4];
        hex += Digits[byte & 0x0F];
    }
    return hex;
}
