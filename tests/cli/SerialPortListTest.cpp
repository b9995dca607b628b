#include "PortDetails.h"
#include "SerialPortList.h"

#include <gtest/gtest.h>

#ifndef _WIN32
#include <cstdlib>
#include <fstream>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace {

TEST(SerialPortList, ComNamesAreCheckedSortedByNumberAndUnique)
{
    EXPECT_EQ(SortComPortNames({"COM10", "com2", "COM2", "LPT1", "COM257", "COM1", "\\Device\\Serial0"}),
              (std::vector<std::string>{"COM1", "COM2", "COM10"}));
}

TEST(SerialPortList, TtyNamesCountAsPeopleCount)
{
    EXPECT_TRUE(TtyNameLess("ttyS2", "ttyS10"));
    EXPECT_FALSE(TtyNameLess("ttyS10", "ttyS2"));
    EXPECT_TRUE(TtyNameLess("rfcomm9", "ttyACM0"));
    EXPECT_TRUE(TtyNameLess("ttyUSB1", "ttyUSB12"));
}

#ifndef _WIN32
// A made-up /dev and /sys/class/tty in a temporary folder.
class FakeTtyTree : public ::testing::Test {
protected:
    void SetUp() override
    {
        char pattern[] = "/tmp/cli-ttys.XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        m_root = pattern;
        m_dev = m_root + "/dev";
        m_sys = m_root + "/sys";
        mkdir(m_dev.c_str(), 0700);
        mkdir(m_sys.c_str(), 0700);
    }
    void TearDown() override { std::system(("rm -rf '" + m_root + "'").c_str()); }

    void AddNode(const std::string& name) { std::ofstream(m_dev + "/" + name).put('\0'); }
    void AddSysDevice(const std::string& name, const char* type = nullptr)
    {
        const std::string dir = m_sys + "/" + name;
        mkdir(dir.c_str(), 0700);
        mkdir((dir + "/device").c_str(), 0700);
        if (type)
            std::ofstream(dir + "/type") << type << '\n';
    }

    void AddFile(const std::string& path, const std::string& text)
    {
        std::system(("mkdir -p \"$(dirname '" + path + "')\"").c_str());
        std::ofstream(path) << text;
    }

    std::string m_root, m_dev, m_sys;
};

TEST_F(FakeTtyTree, ListsOnlyTtysWithSerialHardwareBehindThem)
{
    for (const char* name : {"ttyS0", "ttyS1", "ttyS10", "ttyUSB0", "ttyUSB1", "ttyACM3", "rfcomm0",
                             "tty1", "ttyS", "ttySx", "console", "ptmx"})
        AddNode(name);
    AddSysDevice("ttyS0", "4");
    AddSysDevice("ttyS1", "0");  // kept by the kernel without a UART
    AddSysDevice("ttyS10", "4");
    AddSysDevice("ttyUSB0");     // ttyUSB1 has no device: a stale node
    AddSysDevice("ttyACM3");
    AddSysDevice("tty1");
    EXPECT_EQ(ListSerialPortsIn(m_dev, m_sys),
              (std::vector<std::string>{m_dev + "/rfcomm0", m_dev + "/ttyACM3", m_dev + "/ttyS0",
                                        m_dev + "/ttyS10", m_dev + "/ttyUSB0"}));
}

// The kernel's own layout: a USB adapter's tty points at its interface (and,
// for ttyUSB, the adapter's port below it); the USB device above holds the IDs.
TEST_F(FakeTtyTree, TellsBluetoothAndUsbPortsFromTheKernelsFiles)
{
    for (const char* name : {"rfcomm0", "rfcomm1", "ttyUSB0", "ttyACM0", "ttyS0"})
        AddNode(name);
    AddFile(m_sys + "/rfcomm0/address", "00:1a:7d:DA:71:13\n");
    AddFile(m_sys + "/rfcomm1/address", "00:00:00:00:00:00\n");
    const std::string usb = m_root + "/devices/usb1/1-1";
    AddFile(usb + "/idVendor", "0403\n");
    AddFile(usb + "/idProduct", "6001\n");
    AddFile(usb + "/product", "FT232R USB UART\n");
    AddFile(usb + "/1-1:1.0/ttyUSB0/port_number", "0\n");
    mkdir((m_sys + "/ttyUSB0").c_str(), 0700);
    ASSERT_EQ(symlink((usb + "/1-1:1.0/ttyUSB0").c_str(), (m_sys + "/ttyUSB0/device").c_str()), 0);
    AddFile(m_root + "/devices/usb1/1-2/idVendor", "2341\n");
    AddFile(m_root + "/devices/usb1/1-2/idProduct", "0043\n");
    mkdir((m_root + "/devices/usb1/1-2/1-2:1.0").c_str(), 0700);
    mkdir((m_sys + "/ttyACM0").c_str(), 0700);
    ASSERT_EQ(symlink((m_root + "/devices/usb1/1-2/1-2:1.0").c_str(), (m_sys + "/ttyACM0/device").c_str()), 0);
    ASSERT_EQ(symlink((m_dev + "/ttyUSB0").c_str(), (m_root + "/by-id-adapter").c_str()), 0);

    struct Case {
        std::string path;
        PortKind kind;
        std::string address, description, direction;
    };
    const std::vector<Case> cases = {
        {m_dev + "/rfcomm0", PortKind::Bluetooth, "00:1A:7D:DA:71:13", "", ""},
        {m_dev + "/rfcomm1", PortKind::Bluetooth, "00:00:00:00:00:00", "", "incoming"},
        {m_root + "/by-id-adapter", PortKind::Usb, "", "0403:6001 FT232R USB UART", ""},
        {m_dev + "/ttyACM0", PortKind::Usb, "", "2341:0043", ""},
        {m_dev + "/ttyS0", PortKind::Other, "", "", ""},
        {m_root + "/devices/usb1/1-1/idVendor", PortKind::Other, "", "", ""},  // not a node of the dev folder
        {m_dev + "/rfcomm9", PortKind::Other, "", "", ""},                     // no such node
    };
    for (const Case& expected : cases) {
        const PortDetails details = DescribePortIn(expected.path, m_dev, m_sys);
        EXPECT_EQ(details.kind, expected.kind) << expected.path;
        EXPECT_EQ(details.address, expected.address) << expected.path;
        EXPECT_EQ(details.description, expected.description) << expected.path;
        EXPECT_EQ(details.direction, expected.direction) << expected.path;
    }
}
#endif

}  // namespace
