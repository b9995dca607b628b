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

std::string CertificateHost(const std::string& host)
{
    std::string name = host;
    if (name.find(':') != std::string::npos)
        name = name.substr(0, name.find('%'));
    else if (name.size() > 1 && name.back() == '.')
        name.pop_back();
    for (char& c : name)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return name;
}

bool DnsNameMatches(const std::string& pattern, const std::string& host)
{
    const std::string wanted = CertificateHost(pattern);
    if (wanted.empty() || host.empty())
        return false;
    if (wanted.compare(0, 2, "*.") != 0)
        return wanted.find('*') == std::string::npos && wanted == host;
    const std::string suffix = wanted.substr(1);  // ".example.com"
    if (suffix.find('*') != std::string::npos || suffix.find('.', 1) == std::string::npos)
        return false;
    const std::size_t firstDot = host.find('.');
    return firstDot != std::string::npos && firstDot > 0 && host.compare(firstDot, std::string::npos, suffix) == 0;
}
