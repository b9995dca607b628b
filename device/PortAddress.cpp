#include "PortAddress.h"

#include <algorithm>
#include <cctype>
#include <cstddef>
#include <vector>

namespace {

constexpr char SchemeSeparator[] = "://";
constexpr char SocketScheme[] = "socket";
constexpr char Rfc2217Scheme[] = "rfc2217";
constexpr char BluetoothScheme[] = "bt";
constexpr char TlsSuffix[] = "+tls";
constexpr char ChannelQuery[] = "?channel=";
constexpr unsigned LastTcpPort = 65535;
// "AA:BB:CC:DD:EE:FF": six pairs and five colons.
constexpr std::size_t BluetoothAddressLength = 17;

std::string Lower(std::string text)
{
    for (char& c : text)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

std::string Upper(std::string text)
{
    for (char& c : text)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return text;
}

// A decimal number of at most `digits` digits, in first..last, or -1.
long DecimalIn(const std::string& text, std::size_t digits, long first, long last)
{
    if (text.empty() || text.size() > digits)
        return -1;
    long value = 0;
    for (char c : text) {
        if (c < '0' || c > '9')
            return -1;
        value = value * 10 + (c - '0');
    }
    return value >= first && value <= last ? value : -1;
}

// Letters, digits, '-', '.' and '_' for names and IPv4; hex digits, ':',
// '.' and a '%' zone for IPv6 in brackets. Nothing else reaches the
// resolver, control bytes least of all.
bool IsHostText(const std::string& host, bool bracketed)
{
    for (char c : host) {
        const bool alnum = std::isalnum(static_cast<unsigned char>(c)) != 0;
        const bool ok =
            bracketed ? (alnum || c == ':' || c == '.' || c == '%') : (alnum || c == '-' || c == '.' || c == '_');
        if (!ok)
            return false;
    }
    return true;
}

std::vector<std::string> Split(const std::string& text, char separator)
{
    std::vector<std::string> parts;
    std::size_t start = 0;
    for (;;) {
        const std::size_t end = text.find(separator, start);
        parts.push_back(text.substr(start, end - start));
        if (end == std::string::npos)
            return parts;
        start = end + 1;
    }
}

// Four decimal numbers 0 to 255 with dots, without leading zeros (which
// some resolvers read as octal).
bool IsIpv4Text(const std::string& text)
{
    const std::vector<std::string> parts = Split(text, '.');
    if (parts.size() != 4)
        return false;
    for (const std::string& part : parts) {
        if (DecimalIn(part, 3, 0, 255) < 0 || (part.size() > 1 && part[0] == '0'))
            return false;
    }
    return true;
}

// Eight groups of one to four hex digits with colons, one "::" standing for
// one or more zero groups, the last two groups possibly as an IPv4 address,
// and possibly a zone after '%'.
bool IsIpv6Text(const std::string& text)
{
    const std::string address = text.substr(0, text.find('%'));
    const std::size_t gap = address.find("::");
    if (gap != std::string::npos && address.find("::", gap + 1) != std::string::npos)
        return false;
    std::size_t groups = 0;
    const auto countGroups = [&groups](const std::string& half, bool last) {
        if (half.empty())
            return true;
        const std::vector<std::string> parts = Split(half, ':');
        for (std::size_t i = 0; i < parts.size(); ++i) {
            const std::string& part = parts[i];
            if (last && i + 1 == parts.size() && part.find('.') != std::string::npos) {
                groups += 2;
                return IsIpv4Text(part);
            }
            if (part.empty() || part.size() > 4)
                return false;
            for (char c : part) {
                if (std::isxdigit(static_cast<unsigned char>(c)) == 0)
                    return false;
            }
            ++groups;
        }
        return true;
    };
    if (gap == std::string::npos)
        return countGroups(address, true) && groups == 8;
    return countGroups(address.substr(0, gap), false) && countGroups(address.substr(gap + 2), true) && groups < 8;
}

// A name whose last label could be read as a number ("1.2.3", "127.1",
// "0x7f000001") is taken by resolvers as an address in a form nobody means:
// a numeric host must be four dotted decimals. No top-level name is all
// digits.
bool IsNumberLike(const std::string& label)
{
    if (label.size() > 2 && label[0] == '0' && (label[1] == 'x' || label[1] == 'X'))
        return label.find_first_not_of("0123456789abcdefABCDEF", 2) == std::string::npos;
    return !label.empty() && label.find_first_not_of("0123456789") == std::string::npos;
}

bool IsHost(const std::string& host, bool bracketed)
{
    if (!IsHostText(host, bracketed))
        return false;
    if (bracketed)
        return IsIpv6Text(host);
    const std::string last = host.substr(host.rfind('.') + 1);
    return !IsNumberLike(last) || IsIpv4Text(host);
}

bool ParseHostAndPort(const std::string& scheme, const std::string& rest, PortAddress& address, std::string& error)
{
    const std::string form = "give " + scheme + "://HOST:PORT";
    std::string host, port;
    bool bracketed = false;
    if (!rest.empty() && rest[0] == '[') {
        const std::size_t close = rest.find(']');
        if (close == std::string::npos) {
            error = "an IPv6 address without its closing bracket; " + form;
            return false;
        }
        host = rest.substr(1, close - 1);
        bracketed = true;
        if (close + 1 >= rest.size() || rest[close + 1] != ':') {
            error = "no port number; " + form;
            return false;
        }
        port = rest.substr(close + 2);
    } else {
        const std::size_t colon = rest.rfind(':');
        if (colon == std::string::npos) {
            error = "no port number; " + form;
            return false;
        }
        host = rest.substr(0, colon);
        port = rest.substr(colon + 1);
        if (host.find(':') != std::string::npos) {
            error = "an IPv6 address goes in brackets, as in " + scheme + "://[::1]:2217";
            return false;
        }
    }
    if (host.empty()) {
        error = "an empty host; " + form;
        return false;
    }
    if (!IsHost(host, bracketed)) {
        error = bracketed ? "a host in brackets that is no IPv6 address; " + form
                          : "a host that is no name or address (a numeric host is four dotted decimals); " + form;
        return false;
    }
    if (!port.empty() && port.back() == '/')  // one trailing slash, as URLs are written
        port.pop_back();
    const std::size_t digits = std::min(port.find_first_not_of("0123456789"), port.size());
    if (digits == 0) {
        error = (port.empty() ? "no port number; " : "a port number that is not 1 to 65535; ") + form;
        return false;
    }
    if (digits < port.size()) {
        error = "text after the port number (\"" + port.substr(digits) + "\"); " + form;
        return false;
    }
    // Leading zeros are the same number: 024000 is 24000.
    const std::size_t first = std::min(port.find_first_not_of('0'), port.size() - 1);
    const long number = DecimalIn(port.substr(first), 5, 1, LastTcpPort);
    if (number < 0) {
        error = "a port number that is not 1 to 65535; " + form;
        return false;
    }
    address.host = Lower(host);
    address.tcpPort = static_cast<unsigned short>(number);
    address.label =
        scheme + "://" + (bracketed ? "[" + address.host + "]" : address.host) + ":" + std::to_string(number);
    return true;
}

bool IsBluetoothAddress(const std::string& text)
{
    if (text.size() != BluetoothAddressLength)
        return false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const bool separator = i % 3 == 2;
        if (separator ? text[i] != ':' : std::isxdigit(static_cast<unsigned char>(text[i])) == 0)
            return false;
    }
    return true;
}

bool ParseBluetooth(const std::string& rest, PortAddress& address, std::string& error)
{
    const std::string form = "give bt://AA:BB:CC:DD:EE:FF, optionally with ?channel=1 to 30";
    const std::size_t query = rest.find('?');
    const std::string device = rest.substr(0, query);
    if (!IsBluetoothAddress(device)) {
        error = "a Bluetooth address that is not six hexadecimal pairs; " + form;
        return false;
    }
    address.bluetooth = Upper(device);
    address.label = std::string(BluetoothScheme) + "://" + address.bluetooth;
    if (query == std::string::npos)
        return true;
    const std::string option = rest.substr(query);
    const std::size_t prefix = sizeof ChannelQuery - 1;
    const long channel = option.compare(0, prefix, ChannelQuery) == 0
                             ? DecimalIn(option.substr(prefix), 2, FirstRfcommChannel, LastRfcommChannel)
                             : -1;
    if (channel < 0) {
        error = "a channel that is not 1 to 30; " + form;
        return false;
    }
    address.channel = static_cast<int>(channel);
    address.label += ChannelQuery + std::to_string(channel);
    return true;
}

}  // namespace

PortAddress SerialPortAddress(const std::string& path, const std::string& label)
{
    PortAddress address;
    address.kind = AddressKind::Serial;
    address.target = path;
    address.label = label;
    return address;
}

std::vector<std::string> AddressSchemes()
{
    const std::string socket = SocketScheme;
    const std::string rfc2217 = Rfc2217Scheme;
    return {
        socket + SchemeSeparator,
        rfc2217 + SchemeSeparator,
        socket + TlsSuffix + SchemeSeparator,
        rfc2217 + TlsSuffix + SchemeSeparator,
        std::string(BluetoothScheme) + SchemeSeparator,
    };
}

bool HasAddressScheme(const std::string& text)
{
    return text.find(SchemeSeparator) != std::string::npos;
}

bool ParseSchemeAddress(const std::string& text, PortAddress& address, std::string& error)
{
    const std::size_t separator = text.find(SchemeSeparator);
    if (separator == std::string::npos) {
        error = "no scheme; give socket://, rfc2217://, their +tls forms or bt://";
        return false;
    }
    std::string scheme = Lower(text.substr(0, separator));
    const std::size_t suffix = sizeof TlsSuffix - 1;
    // "+tls" wraps a network scheme: the rest of the address is the same.
    PortAddress parsed;
    if (scheme.size() > suffix && scheme.compare(scheme.size() - suffix, suffix, TlsSuffix) == 0 &&
        scheme != std::string(BluetoothScheme) + TlsSuffix) {
        parsed.tls = true;
        scheme.resize(scheme.size() - suffix);
    }
    const std::string rest = text.substr(separator + sizeof SchemeSeparator - 1);
    const std::string written = parsed.tls ? scheme + TlsSuffix : scheme;
    bool ok = false;
    if (scheme == SocketScheme) {
        parsed.kind = AddressKind::Socket;
        ok = ParseHostAndPort(written, rest, parsed, error);
    } else if (scheme == Rfc2217Scheme) {
        parsed.kind = AddressKind::Rfc2217;
        ok = ParseHostAndPort(written, rest, parsed, error);
    } else if (scheme == BluetoothScheme) {
        parsed.kind = AddressKind::Bluetooth;
        ok = ParseBluetooth(rest, parsed, error);
    } else {
        error = "an unknown scheme; give socket://, rfc2217://, their +tls forms or bt://";
    }
    if (!ok)
        return false;
    parsed.target = parsed.label;
    address = parsed;
    return true;
}
