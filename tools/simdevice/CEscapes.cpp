#include "CEscapes.h"

namespace {

int HexDigitValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

}  // namespace

std::string DecodeCEscapes(const std::string& text, std::string& bytes)
{
    bytes.clear();
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\\') {
            bytes += text[i];
            continue;
        }
        if (i + 1 >= text.size())
            return "a lone backslash ends the text";
        const char kind = text[++i];
        switch (kind) {
            case 'n':
                bytes += '\n';
                break;
            case 'r':
                bytes += '\r';
                break;
            case 't':
                bytes += '\t';
                break;
            case '\\':
                bytes += '\\';
                break;
            case 'x': {
                // Exactly two hex digits, so "\x0A1" is a line feed then '1'.
                const int high = i + 1 < text.size() ? HexDigitValue(text[i + 1]) : -1;
                const int low = i + 2 < text.size() ? HexDigitValue(text[i + 2]) : -1;
                if (high < 0 || low < 0)
                    return "\\x needs two hex digits";
                bytes += static_cast<char>(high * 16 + low);
                i += 2;
                break;
            }
            default:
                return std::string("unknown escape \\") + kind;
        }
    }
    return {};
}
