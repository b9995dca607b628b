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
#endif

}  // namespace
