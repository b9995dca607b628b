#include "ports/PortName.h"

#include <gtest/gtest.h>

namespace {

TEST(PortName, WindowsTakesCom1ToCom256AsDeviceNamespacePaths)
{
    EXPECT_EQ(ResolvePortName("COM1", PortStyle::Windows).path, "\\\\.\\COM1");
    EXPECT_EQ(ResolvePortName("COM31", PortStyle::Windows).path, "\\\\.\\COM31");
    EXPECT_EQ(ResolvePortName("com256", PortStyle::Windows).path, "\\\\.\\COM256");
    EXPECT_EQ(ResolvePortName("Com9", PortStyle::Windows).path, "\\\\.\\COM9");
}

TEST(PortName, WindowsRefusesEveryOtherForm)
{
    for (const char* text : {"", "COM", "COM0", "COM257", "COM05", "COM+5", "COM5 ", " COM5", "COM1x", "LPT1", "5",
                             "\\\\.\\COM5", "/dev/ttyS0", "COM99999999999"}) {
        const ResolvedPort port = ResolvePortName(text, PortStyle::Windows);
        EXPECT_FALSE(port.ok) << text;
        EXPECT_NE(port.error.find("COM1 to COM256"), std::string::npos) << text;
    }
}

TEST(PortName, PosixTakesAnyPathAsItStands)
{
    for (const char* text : {"/dev/rfcomm0", "/dev/ttyUSB0", "/dev/pts/7", "bench/com5", "COM5"}) {
        const ResolvedPort port = ResolvePortName(text, PortStyle::Posix);
        EXPECT_TRUE(port.ok) << text;
        EXPECT_EQ(port.path, text);
    }
    EXPECT_FALSE(ResolvePortName("", PortStyle::Posix).ok);
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

// A refused address is named as given, with the bytes a terminal would act
// on escaped.
TEST(PortName, RefusedAddressesAreNamedWithoutTheirControlBytes)
{
    for (PortStyle style : {PortStyle::Posix, PortStyle::Windows}) {
        const ResolvedPort port = ResolvePortName("rfc2217://\x1b]0;X\a\x1b[2Jx:80", style);
        EXPECT_FALSE(port.ok);
        EXPECT_EQ(port.error.rfind("Invalid port \"rfc2217://\\x1B]0;X\\x07\\x1B[2Jx:80\": ", 0), 0u) << port.error;
        EXPECT_EQ(port.error.find('\x1b'), std::string::npos);
    }
}

}  // namespace
