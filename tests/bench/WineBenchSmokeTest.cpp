// The bench as a Windows program under Wine sees it: COM5 leads to the
// simulated device, COM8 to nothing, COM9 to a device that refuses line
// settings, and after a hangup COM5 opens again.
#include "BenchDevice.h"
#include "BenchNames.h"
#include "serial/UniqueHandle.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <string>

namespace {

// Short waits: this test is about the bench, not the device link's time-outs.
constexpr DWORD ReadWaitMs = 1000;

UniqueHandle OpenPort(const std::string& path)
{
    return UniqueHandle(CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                                    FILE_ATTRIBUTE_NORMAL, nullptr));
}

class Port {
public:
    explicit Port(const std::string& path) : m_handle(OpenPort(path))
    {
        if (IsOpen()) {
            COMMTIMEOUTS timeouts{};
            timeouts.ReadTotalTimeoutConstant = ReadWaitMs;
            timeouts.WriteTotalTimeoutConstant = ReadWaitMs;
            SetCommTimeouts(m_handle.Get(), &timeouts);
        }
    }

    bool IsOpen() const { return m_handle.IsValid(); }

    bool Send(const std::string& bytes)
    {
        DWORD written = 0;
        return WriteFile(m_handle.Get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
               written == bytes.size();
    }

    // One byte at a time up to a line feed, or until a read brings nothing.
    std::string ReadLine()
    {
        std::string line;
        for (;;) {
            char byte = 0;
            DWORD got = 0;
            ReadFile(m_handle.Get(), &byte, 1, &got, nullptr);
            if (got == 0)
                return line;
            line += byte;
            if (byte == '\n')
                return line;
        }
    }

private:
    UniqueHandle m_handle;
};

class WineBenchSmokeTest : public testing::Test {
protected:
    void SetUp() override { dev.SetScenario(BenchDevice::DefaultState); }

    BenchDevice dev{5};
};

TEST_F(WineBenchSmokeTest, Com5ReachesTheSimulatedDevice)
{
    EXPECT_EQ(dev.PortPath(), Win32PortPath(5));
    Port port(dev.PortPath());
    ASSERT_TRUE(port.IsOpen()) << "CreateFileA error " << GetLastError();
    dev.MarkReceived();
    ASSERT_TRUE(port.Send(AccessCodeBytes));
    EXPECT_EQ(port.ReadLine(), AccessCodeBytes + " 1.3 1 1234 Tolvane Demo\n");
    EXPECT_EQ(dev.ReceivedSinceMark(), AccessCodeBytes);
}

TEST_F(WineBenchSmokeTest, ScenarioAndStateFilesWorkThroughTheWindowsPath)
{
    dev.SetScenario("version=1.2\nname=Bench\n");
    Port port(dev.PortPath());
    ASSERT_TRUE(port.IsOpen());
    const int configures = std::stoi(dev.State()["configures"]);
    ASSERT_TRUE(port.Send(AccessCodeBytes + " 0 4321 "));
    ASSERT_TRUE(dev.WaitForState("configures", std::to_string(configures + 1), 2000));
    EXPECT_EQ(dev.State()["pin"], "4321");
    ASSERT_TRUE(port.Send(AccessCodeBytes));
    EXPECT_EQ(port.ReadLine(), AccessCodeBytes + " 1.2 0 4321 Bench\n");
}

TEST_F(WineBenchSmokeTest, Com8CannotBeOpened)
{
    Port port(Win32PortPath(UnopenableComNumber));
    EXPECT_FALSE(port.IsOpen());
}

TEST_F(WineBenchSmokeTest, Com9OpensButRefusesLineSettings)
{
    const UniqueHandle handle = OpenPort(Win32PortPath(NullDeviceComNumber));
    ASSERT_TRUE(handle.IsValid());
    DCB dcb{};
    dcb.DCBlength = sizeof dcb;
    GetCommState(handle.Get(), &dcb);
    dcb.BaudRate = CBR_115200;
    dcb.ByteSize = 8;
    EXPECT_FALSE(SetCommState(handle.Get(), &dcb));
}

TEST_F(WineBenchSmokeTest, AfterAHangupCom5OpensTheDeviceAgain)
{
    dev.SetScenario(std::string(BenchDevice::DefaultState) + "mode=hangup\npartial=5\n");
    {
        Port port(dev.PortPath());
        ASSERT_TRUE(port.IsOpen());
        ASSERT_TRUE(port.Send(AccessCodeBytes));
        EXPECT_EQ(port.ReadLine(), AccessCodeBytes.substr(0, 5));
        // The line is gone: Wine fails the next write.
        EXPECT_FALSE(port.Send(AccessCodeBytes));
    }
    Port again(dev.PortPath());
    ASSERT_TRUE(again.IsOpen());
    ASSERT_TRUE(again.Send(AccessCodeBytes));
    EXPECT_EQ(again.ReadLine(), AccessCodeBytes + " 1.3 1 1234 Tolvane Demo\n");
}

}  // namespace
