#include "PortName.h"

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
        {"socket://bench-a:22x", "not 1 to 65535"},
        {"socket://bench-a:2217/dev", "not 1 to 65535"},
        {"rfc2217://:2217", "an empty host"},
        {"rfc2217://[]:2217", "an empty host"},
        {"rfc2217://::1:2217", "in brackets"},
        {"rfc2217://[::1:2217", "closing bracket"},
        {"socket://bench a:2217", "no name or address"},
        {"socket://bench\x01:2217", "no name or address"},
        {"bt://00:11:22:33:44", "six hexadecimal pairs"},
        {"bt://00:11:22:33:44:5G", "six hexadecimal pairs"},
        {"bt://001122334455", "six hexadecimal pairs"},
        {"bt://00:11:22:33:44:55?channel=0", "channel that is not 1 to 30"},
        {"bt://00:11:22:33:44:55?channel=31", "channel that is not 1 to 30"},
        {"bt://00:11:22:33:44:55?channel=", "channel that is not 1 to 30"},
        {"bt://00:11:22:33:44:55?chan=3", "channel that is not 1 to 30"},
        {"xyz://bench-a:2217", "unknown scheme"},
        {"://bench-a:2217", "unknown scheme"},
    };
    for (const auto& row : rows) {
        for (PortStyle style : {PortStyle::Posix, PortStyle::Windows}) {
            const ResolvedPort port = ResolvePortName(row.text, style);
            EXPECT_FALSE(port.ok) << row.text;
            EXPECT_EQ(port.error.rfind("Invalid port \"" + std::string(row.text) + "\": ", 0), 0u) << port.error;
            EXPECT_NE(port.error.find(row.reason), std::string::npos) << port.error;
        }
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
        {"bt://00:1a:7d:da:71:13", AddressKind::Bluetooth, "bt://00:1A:7D:DA:71:13", "", 0},
        {"bt://00:1A:7D:DA:71:13?channel=30", AddressKind::Bluetooth, "bt://00:1A:7D:DA:71:13?channel=30", "", 0},
    };
    for (const auto& row : rows) {
        const ResolvedPort port = ResolvePortName(row.text, PortStyle::Windows);
        ASSERT_TRUE(port.ok) << row.text << ": " << port.error;
        EXPECT_EQ(port.address.kind, row.kind) << row.text;
        EXPECT_EQ(port.address.label, row.label);
        EXPECT_EQ(port.address.host, row.host);
        EXPECT_EQ(port.address.tcpPort, row.tcpPort);
        EXPECT_EQ(port.path, row.label);
    }
    EXPECT_EQ(ResolvePortName("bt://00:1A:7D:DA:71:13?channel=7", PortStyle::Posix).address.channel, 7);
}

// The window's entry COM12 and the command line's com12 open the one path.
TEST(PortAddress, ComPortsOpenByTheirDeviceNamespacePath)
{
    const PortAddress window = ComPortAddress("COM12");
    const ResolvedPort cli = ResolvePortName("com12", PortStyle::Windows);
    EXPECT_EQ(window.kind, AddressKind::Serial);
    EXPECT_EQ(window.target, "\\\\.\\COM12");
    EXPECT_EQ(cli.address.target, window.target);
    EXPECT_EQ(cli.address.label, "COM12");
}

}  // namespace
