#include "PortAddress.h"
#include "TlsSettings.h"

#include <gtest/gtest.h>

namespace {

// A malformed address is refused on both platforms, before anything is
// opened, saying what is wrong.
TEST(PortAddress, RefusesMalformedAddressesSayingWhy)
{
    const struct {
        const char* text;
        const char* reason;
    } rows[] = {
        {"rfc2217://bench-a", "no port number"},
        {"rfc2217://bench-a:", "no port number"},
        {"socket://[::1]", "no port number"},
        {"socket://bench-a:0", "not 1 to 65535"},
        {"socket://bench-a:65536", "not 1 to 65535"},
        {"socket://bench-a:22x", "text after the port number (\"x\")"},
        {"socket://bench-a:2217/dev", "text after the port number (\"/dev\")"},
        {"socket://bench-a:2217//", "text after the port number (\"/\")"},
        {"socket://bench-a:0000000", "not 1 to 65535"},
        {"socket://bench-a:/", "no port number"},
        {"rfc2217://:2217", "an empty host"},
        {"rfc2217://[]:2217", "an empty host"},
        {"rfc2217://::1:2217", "in brackets"},
        {"rfc2217://[::1:2217", "closing bracket"},
        {"socket://bench a:2217", "no name or address"},
        {"socket://bench\x01:2217", "no name or address"},
        {"socket://[1.2.3]:1", "no IPv6 address"},
        {"socket://[127.0.0.1]:1", "no IPv6 address"},
        {"socket://[1::2::3]:1", "no IPv6 address"},
        {"socket://[1:2:3:4:5:6:7:8:9]:1", "no IPv6 address"},
        {"socket://1.2.3:1", "four dotted decimals"},
        {"socket://127.1:1", "four dotted decimals"},
        {"socket://1.2.3.256:1", "four dotted decimals"},
        {"socket://010.0.0.1:1", "four dotted decimals"},
        {"socket://0x7f000001:1", "four dotted decimals"},
        {"bt://00:11:22:33:44", "six hexadecimal pairs"},
        {"bt://00:11:22:33:44:5G", "six hexadecimal pairs"},
        {"bt://001122334455", "six hexadecimal pairs"},
        {"bt://00:11:22:33:44:55?channel=0", "channel that is not 1 to 30"},
        {"bt://00:11:22:33:44:55?channel=31", "channel that is not 1 to 30"},
        {"bt://00:11:22:33:44:55?channel=", "channel that is not 1 to 30"},
        {"bt://00:11:22:33:44:55?chan=3", "channel that is not 1 to 30"},
        {"xyz://bench-a:2217", "unknown scheme"},
        {"://bench-a:2217", "unknown scheme"},
        {"bt+tls://00:11:22:33:44:55", "unknown scheme"},
        {"+tls://bench-a:2217", "unknown scheme"},
        {"rfc2217+tls+tls://bench-a:2217", "unknown scheme"},
        {"socket+tls://bench-a", "give socket+tls://HOST:PORT"},
    };
    for (const auto& row : rows) {
        PortAddress address;
        std::string error;
        EXPECT_TRUE(HasAddressScheme(row.text)) << row.text;
        EXPECT_FALSE(ParseSchemeAddress(row.text, address, error)) << row.text;
        EXPECT_NE(error.find(row.reason), std::string::npos) << row.text << ": " << error;
    }
}

// The label is one text for one server port or device, however it is spelt:
// it names the port in messages and transcripts and tells two rows apart.
TEST(PortAddress, TakesHostsAsNamesIpv4AndBracketedIpv6)
{
    const struct {
        const char* text;
        AddressKind kind;
        const char* label;
        const char* host;
        unsigned short tcpPort;
    } rows[] = {
        {"socket://bench-a:4001", AddressKind::Socket, "socket://bench-a:4001", "bench-a", 4001},
        {"RFC2217://Bench-A.lan:02217", AddressKind::Rfc2217, "rfc2217://bench-a.lan:2217", "bench-a.lan", 2217},
        {"rfc2217://192.168.1.20:65535", AddressKind::Rfc2217, "rfc2217://192.168.1.20:65535", "192.168.1.20", 65535},
        {"rfc2217://[::1]:1", AddressKind::Rfc2217, "rfc2217://[::1]:1", "::1", 1},
        {"rfc2217://[0:0:0:0:0:0:0:1]:1", AddressKind::Rfc2217, "rfc2217://[0:0:0:0:0:0:0:1]:1", "0:0:0:0:0:0:0:1", 1},
        {"socket://[::ffff:10.0.0.1]:1", AddressKind::Socket, "socket://[::ffff:10.0.0.1]:1", "::ffff:10.0.0.1", 1},
        {"socket://0.0.0.0:1", AddressKind::Socket, "socket://0.0.0.0:1", "0.0.0.0", 1},
        {"socket://bench-7:1", AddressKind::Socket, "socket://bench-7:1", "bench-7", 1},
        {"RFC2217+TLS://Bench-A:2217", AddressKind::Rfc2217, "rfc2217+tls://bench-a:2217", "bench-a", 2217},
        {"socket+tls://[::1]:4001", AddressKind::Socket, "socket+tls://[::1]:4001", "::1", 4001},
        {"socket+tls://localhost:24802/", AddressKind::Socket, "socket+tls://localhost:24802", "localhost", 24802},
        {"socket://bench-a:024000", AddressKind::Socket, "socket://bench-a:24000", "bench-a", 24000},
        {"bt://00:1a:7d:da:71:13", AddressKind::Bluetooth, "bt://00:1A:7D:DA:71:13", "", 0},
        {"bt://00:1A:7D:DA:71:13?channel=30", AddressKind::Bluetooth, "bt://00:1A:7D:DA:71:13?channel=30", "", 0},
    };
    for (const auto& row : rows) {
        PortAddress address;
        std::string error;
        ASSERT_TRUE(ParseSchemeAddress(row.text, address, error)) << row.text << ": " << error;
        EXPECT_EQ(address.kind, row.kind) << row.text;
        EXPECT_EQ(address.label, row.label);
        EXPECT_EQ(address.host, row.host);
        EXPECT_EQ(address.tcpPort, row.tcpPort);
        EXPECT_EQ(address.target, row.label);
        EXPECT_EQ(address.tls, std::string(row.label).find("+tls") != std::string::npos) << row.text;
    }
    PortAddress bluetooth;
    std::string error;
    ASSERT_TRUE(ParseSchemeAddress("bt://00:1A:7D:DA:71:13?channel=7", bluetooth, error));
    EXPECT_EQ(bluetooth.channel, 7);
}

// The host a certificate must name, as both systems match it: without an
// IPv6 zone or a trailing dot; a wildcard only as the whole first label of
// three or more, never part of a label (Schannel's side, matched here).
TEST(PortAddress, TlsHostsAreMatchedAsTheirCertificatesNameThem)
{
    EXPECT_EQ(CertificateHost("fe80::1%eth0"), "fe80::1");
    EXPECT_EQ(CertificateHost("Bench-A.Example."), "bench-a.example");
    EXPECT_EQ(CertificateHost("127.0.0.1"), "127.0.0.1");
    const struct {
        const char* pattern;
        const char* host;
        bool matches;
    } rows[] = {
        {"bench.example.com", "bench.example.com", true},
        {"BENCH.example.com", "bench.example.com", true},
        {"*.example.com", "bench.example.com", true},
        {"*.example.com", "a.bench.example.com", false},
        {"*.example.com", "example.com", false},
        {"b*.example.com", "bench.example.com", false},
        {"*h.example.com", "bench.example.com", false},
        {"bench.*.com", "bench.example.com", false},
        {"*.com", "example.com", false},
        {"localhost", "localhost", true},
        {"other.example.com", "bench.example.com", false},
        {"", "bench.example.com", false},
    };
    for (const auto& row : rows)
        EXPECT_EQ(DnsNameMatches(row.pattern, row.host), row.matches) << row.pattern << " " << row.host;
}

}  // namespace
