#include "Protocol.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <limits>
#include <string_view>
#include <vector>

namespace {

// The wire format of the configure command, as the device parses it.
constexpr char ConfigureFormat[] = "%s %i %s ";

// Echo, version, flag and PIN must all be there; the name may be missing.
constexpr int RequiredConversions = 4;

// The display name starts after this many space characters (0x20 only).
constexpr int SpacesBeforeDisplayName = 4;

// What isspace() accepts in the C locale. Bytes from 0x80 up are never white
// space there, so a reply splits the same whatever the user's code page.
bool IsWhiteSpace(unsigned char byte)
{
    return byte == ' ' || byte == '\t' || byte == '\n' || byte == '\v' || byte == '\f' || byte == '\r';
}

// The value of a digit in bases up to 16, or 16 for anything else.
int DigitValue(unsigned char byte)
{
    if (byte >= '0' && byte <= '9')
        return byte - '0';
    if (byte >= 'a' && byte <= 'f')
        return byte - 'a' + 10;
    if (byte >= 'A' && byte <= 'F')
        return byte - 'A' + 10;
    return 16;
}

// Walks the reply text the way the C library's formatted input walks a
// string; the end of the text plays the part of the string's NUL. Only ever
// reads inside the text.
class ReplyCursor {
public:
    ReplyCursor(const char* text, std::size_t length) : m_text(text), m_length(length) {}

    // %s: skips white space and takes the run of other bytes after it.
    // Empty when nothing but white space is left.
    std::string_view NextWord()
    {
        SkipWhiteSpace();
        const std::size_t start = m_position;
        while (!AtEnd() && !IsWhiteSpace(Current()))
            ++m_position;
        return std::string_view(m_text + start, m_position - start);
    }

    // %i: skips white space and takes the longest prefix that forms an
    // integer: optional sign, then 0x or 0X and hexadecimal digits, or 0 and
    // octal digits, or decimal digits. Like the C library, "0x" with no hex
    // digit after it reads as 0 with the x consumed, and "08" reads as 0 with
    // the 8 left for the next token. False when no digit was taken.
    bool NextInteger(std::int32_t& value)
    {
        SkipWhiteSpace();
        const bool negative = !AtEnd() && Current() == '-';
        if (!AtEnd() && (Current() == '-' || Current() == '+'))
            ++m_position;
        int base = 10;
        bool anyDigit = false;
        if (!AtEnd() && Current() == '0') {
            ++m_position;
            anyDigit = true;
            base = 8;
            if (!AtEnd() && (Current() == 'x' || Current() == 'X')) {
                ++m_position;
                base = 16;
            }
        }
        std::uint64_t magnitude = 0;
        for (; !AtEnd() && DigitValue(Current()) < base; ++m_position) {
            magnitude = std::min(magnitude * base + DigitValue(Current()), SaturatedMagnitude);
            anyDigit = true;
        }
        if (anyDigit)
            value = Saturate(negative, magnitude);
        return anyDigit;
    }

private:
    // One past the largest 32-bit magnitude: enough to know a value is out
    // of range, small enough that one more digit cannot overflow.
    static constexpr std::uint64_t SaturatedMagnitude = std::uint64_t{1} << 32;

    static std::int32_t Saturate(bool negative, std::uint64_t magnitude)
    {
        const std::int64_t signedValue =
            negative ? -static_cast<std::int64_t>(magnitude) : static_cast<std::int64_t>(magnitude);
        if (signedValue > std::numeric_limits<std::int32_t>::max())
            return std::numeric_limits<std::int32_t>::max();
        if (signedValue < std::numeric_limits<std::int32_t>::min())
            return std::numeric_limits<std::int32_t>::min();
        return static_cast<std::int32_t>(signedValue);
    }

    bool AtEnd() const { return m_position >= m_length; }
    unsigned char Current() const { return static_cast<unsigned char>(m_text[m_position]); }
    void SkipWhiteSpace()
    {
        while (!AtEnd() && IsWhiteSpace(Current()))
            ++m_position;
    }

    const char* m_text;
    std::size_t m_length;
    std::size_t m_position = 0;
};

// Stores a %s token in a fixed field. An empty token (nothing left) and one
// that does not fit with its NUL both fail; the field is then untouched.
template <std::size_t Size>
bool StoreWord(std::string_view word, char (&field)[Size])
{
    if (word.empty() || word.size() >= Size)
        return false;
    std::memcpy(field, word.data(), word.size());
    field[word.size()] = '\0';
    return true;
}

bool StoreWord(std::string_view word, std::string& field)
{
    if (word.empty())
        return false;
    field.assign(word);
    return true;
}

// What follows the fourth space of the line, up to its end (the terminator
// included). Tabs do not count. Empty when the line has fewer spaces.
std::string FindDisplayName(const char* text, std::size_t length)
{
    int spaces = 0;
    for (std::size_t i = 0; i < length; ++i) {
        if (text[i] == ' ' && ++spaces == SpacesBeforeDisplayName)
            return std::string(text + i + 1, length - i - 1);
    }
    return std::string();
}

}  // namespace

int ScanReply(const char* text, std::size_t length, DeviceInfo& info)
{
    ReplyCursor cursor(text, length);
    if (!StoreWord(cursor.NextWord(), info.echo))
        return 0;
    if (!StoreWord(cursor.NextWord(), info.version))
        return 1;
    if (!cursor.NextInteger(info.auth))
        return 2;
    if (!StoreWord(cursor.NextWord(), info.pin))
        return 3;
    if (!StoreWord(cursor.NextWord(), info.name))
        return 4;
    return 5;
}

LinkResult ParseReply(const ReplyLine& line, DeviceInfo& info)
{
    info = DeviceInfo{};
    // A NUL inside the line would silently cut it short for any C string
    // function that later sees a field; no device sends one on purpose.
    const std::size_t length = line.length;
    if (length >= ReplyLine::Capacity || std::memchr(line.bytes, '\0', length) != nullptr)
        return LinkResult::BadReply;
    if (ScanReply(line.bytes, length, info) < RequiredConversions) {
        info = DeviceInfo{};
        return LinkResult::BadReply;
    }
    info.displayName = FindDisplayName(line.bytes, length);

    if (std::strcmp(info.echo, AccessCode) != 0)
        return LinkResult::BadEcho;
    if (ClassifyFirmware(info.version) == Firmware::Unknown)
        return LinkResult::UnsupportedVersion;
    info.auth = info.auth != 0 ? 1 : 0;
    return LinkResult::Ok;
}

std::string BuildConfigureCommand(int auth, const std::string& pin)
{
    const int length = std::snprintf(nullptr, 0, ConfigureFormat, AccessCode, auth, pin.c_str());
    if (length <= 0)
        return std::string();
    std::vector<char> text(static_cast<std::size_t>(length) + 1);
    std::snprintf(text.data(), text.size(), ConfigureFormat, AccessCode, auth, pin.c_str());
    return std::string(text.data(), static_cast<std::size_t>(length));
}
