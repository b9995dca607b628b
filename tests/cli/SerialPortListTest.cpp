#include "system/PortDetails.h"
#include "system/SerialPortList.h"

#include <gtest/gtest.h>

#ifdef _WIN32
#include "serial/UniqueHandle.h"

#include <windows.h>
#else
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

#ifdef _WIN32
// What Windows keeps about two Bluetooth ports of one paired device and a
// plain serial port, laid out in the registry of the test's prefix: the
// driver's list of ports, and the device instances SetupAPI reads.
class LaidOutRegistry : public ::testing::Test {
protected:
    static constexpr const char* SerialComm = "HARDWARE\\DEVICEMAP\\SERIALCOMM";
    static constexpr const char* Service =
        "SYSTEM\\CurrentControlSet\\Enum\\BTHENUM\\"
        "{00001101-0000-1000-8000-00805f9b34fb}_LOCALMFG&0002";

    void SetUp() override
    {
        SetString(SerialComm, "\\Device\\BthModem40", "COM40");
        SetString(SerialComm, "\\Device\\BthModem41", "COM41");
        SetString(SerialComm, "\\Device\\Serial40", "COM42");
        AddPortInstance("7&1a2b3c4d&0&001A7DDA7113_C00000000", "Standard Serial over Bluetooth link (COM40)", "COM40");
        AddPortInstance("7&1a2b3c4d&0&000000000000_00000003", "Standard Serial over Bluetooth link (COM41)", "COM41");
    }
    void TearDown() override
    {
        HKEY opened = NULL;
        if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, SerialComm, 0, KEY_SET_VALUE, &opened) == ERROR_SUCCESS) {
            const UniqueRegistryKey key(opened);
            for (const char* name : {"\\Device\\BthModem40", "\\Device\\BthModem41", "\\Device\\Serial40"})
                RegDeleteValueA(key.Get(), name);
        }
        RegDeleteTreeA(HKEY_LOCAL_MACHINE, Service);
    }

    static void SetString(const std::string& path, const char* name, const std::string& value)
    {
        HKEY created = NULL;
        ASSERT_EQ(RegCreateKeyExA(HKEY_LOCAL_MACHINE, path.c_str(), 0, NULL, 0, KEY_SET_VALUE, NULL, &created, NULL),
                  ERROR_SUCCESS)
            << path;
        const UniqueRegistryKey key(created);
        EXPECT_EQ(RegSetValueExA(key.Get(), name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                                 static_cast<DWORD>(value.size() + 1)),
                  ERROR_SUCCESS);
    }
    static void AddPortInstance(const std::string& instance, const std::string& friendlyName, const char* port)
    {
        const std::string key = std::string(Service) + "\\" + instance;
        SetString(key, "ClassGUID", "{4d36e978-e325-11ce-bfc1-08002be10318}");
        SetString(key, "Class", "Ports");
        SetString(key, "FriendlyName", friendlyName);
        SetString(key + "\\Device Parameters", "PortName", port);
    }
};

TEST_F(LaidOutRegistry, TellsTheOutgoingAndIncomingBluetoothPortsOfAPair)
{
    const std::vector<PortDetails> details = DescribeSystemPorts({"COM40", "com41", "COM42", "COM43"});
    ASSERT_EQ(details.size(), 4u);
    EXPECT_EQ(details[0].kind, PortKind::Bluetooth);
    EXPECT_EQ(details[0].address, "00:1A:7D:DA:71:13");
    EXPECT_EQ(details[0].direction, "outgoing");
    EXPECT_EQ(details[0].description, "Standard Serial over Bluetooth link (COM40)");
    EXPECT_EQ(details[1].kind, PortKind::Bluetooth);
    EXPECT_EQ(details[1].address, "00:00:00:00:00:00");
    EXPECT_EQ(details[1].direction, "incoming");
    EXPECT_EQ(details[2].kind, PortKind::Other);
    EXPECT_EQ(details[2].description, "");
    EXPECT_EQ(details[3].kind, PortKind::Other);
}
#else
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
    for (const char* name : {"ttyS0", "ttyS1", "ttyS10", "ttyUSB0", "ttyUSB1", "ttyACM3", "rfcomm0", "tty1", "ttyS",
                             "ttySx", "console", "ptmx"})
        AddNode(name);
    AddSysDevice("ttyS0", "4");
    AddSysDevice("ttyS1", "0");  // kept by the kernel without a UART
    AddSysDevice("ttyS10", "4");
    AddSysDevice("ttyUSB0");  // ttyUSB1 has no device: a stale node
    AddSysDevice("ttyACM3");
    AddSysDevice("tty1");
    EXPECT_EQ(ListSerialPortsIn(m_dev, m_sys),
              (std::vector<std::string>{m_dev + "/rfcomm0", m_dev + "/ttyACM3", m_dev + "/ttyS0", m_dev + "/ttyS10",
                                        m_dev + "/ttyUSB0"}));
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
