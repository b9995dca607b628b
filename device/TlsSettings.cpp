#include "TlsSettings.h"

#include "TlsReasons.h"

#include <cctype>

namespace {

constexpr char HexDigits[] = "0123456789ABCDEF";

int HexValue(char c)
{
    const unsigned char u = static_cast<unsigned char>(c);
    if (std::isdigit(u) != 0)
        return c - '0';
    if (std::isxdigit(u) != 0)
        return std::toupper(u) - 'A' + 10;
    return -1;
}

}  // namespace

std::string FingerprintText(const std::string& digest)
{
    std::string text;
    for (char byte : digest) {
        const unsigned char u = static_cast<unsigned char>(byte);
        if (!text.empty())
            text += ':';
        text += HexDigits[u >> 4];
        text += HexDigits[u & 0x0F];
    }
    return text;
}

// Colons sit between pairs only: "AB:CD", "ABCD", not "A:BCD" nor "AB::CD".
bool ParseFingerprint(const std::string& text, std::string& digest)
{
    std::string bytes;
    std::size_t i = 0;
    while (i < text.size()) {
        if (!bytes.empty() && text[i] == ':' && i + 1 < text.size())
            ++i;
        const int high = HexValue(text[i]);
        const int low = i + 1 < text.size() ? HexValue(text[i + 1]) : -1;
        if (high < 0 || low < 0)
            return false;
        bytes += static_cast<char>(high * 16 + low);
        i += 2;
    }
    if (bytes.size() != Sha256Length)
        return false;
    digest = bytes;
    return true;
}

std::string FingerprintRefusal(const std::string& seen, const std::string& wanted)
{
    if (wanted.empty() || seen == wanted)
        return "";
    return TlsReason::FingerprintDiffers + FingerprintText(seen) + TlsReason::FingerprintDiffersEnd;
}

std::string SessionNote(const std::string& version, const std::string& fingerprint)
{
    return version + ", server certificate SHA-256 " + FingerprintText(fingerprint);
}
