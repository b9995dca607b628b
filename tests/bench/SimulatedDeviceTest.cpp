// The simulated device as a host sees it through a real pseudo-terminal:
// replies on the wire, state after commands, and each fault of the control file.
#include "BenchDevice.h"
#include "BenchNames.h"
#include "PortClient.h"

#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <thread>
#include <unistd.h>

namespace {

constexpr int ReplyWaitMs = 1000;
constexpr int QuietMs = 300;

class SimulatedDeviceTest : public testing::Test {
protected:
    void SetUp() override { dev.SetScenario(BenchDevice::DefaultState); }

    // Sends a query and waits until the device has counted it.
    void Query(PortClient& port)
    {
        const int before = std::stoi(dev.State()["queries"]);
        ASSERT_TRUE(port.Send(AccessCodeBytes));
        ASSERT_TRUE(dev.WaitForState("queries", std::to_string(before + 1), ReplyWaitMs));
    }

    BenchDevice dev{5};
};

TEST_F(SimulatedDeviceTest, AnswersAQueryWithOneLineFromItsState)
{
    PortClient port(dev.PortPath());
    ASSERT_TRUE(port.IsOpen());
    Query(port);
    EXPECT_EQ(port.ReadLine(ReplyWaitMs), AccessCodeBytes + " 1.3 1 1234 Tolvane Demo\n");
}

TEST_F(SimulatedDeviceTest, ControlStateKeysChangeTheReplyAndTheStateFile)
{
    dev.SetScenario("name=Box  Two\nversion=1.1\nauth=0x10\npin=0000\n");
    PortClient port(dev.PortPath());
    Query(port);
    EXPECT_EQ(port.ReadLine(ReplyWaitMs), AccessCodeBytes + " 1.1 0x10 0000 Box  Two\n");
    EXPECT_EQ(dev.State()["name"], "Box  Two");
    EXPECT_EQ(dev.State()["version"], "1.1");
}

TEST_F(SimulatedDeviceTest, ConfigureStoresBothTokensAsSentAndDoesNotAnswer)
{
    PortClient port(dev.PortPath());
    const int before = std::stoi(dev.State()["configures"]);
    dev.MarkReceived();
    const std::string command = AccessCodeBytes + " -7 98 76 ";
    ASSERT_TRUE(port.Send(command));
    ASSERT_TRUE(dev.WaitForState("configures", std::to_string(before + 1), ReplyWaitMs));
    EXPECT_EQ(dev.State()["auth"], "-7");
    EXPECT_EQ(dev.State()["pin"], "98");
    EXPECT_EQ(dev.ReceivedSinceMark(), command);
    EXPECT_EQ(port.ReadFor(QuietMs), "");

    // An empty PIN is two spaces in a row.
    ASSERT_TRUE(port.Send(AccessCodeBytes + " 1  "));
    ASSERT_TRUE(dev.WaitForState("configures", std::to_string(before + 2), ReplyWaitMs));
    EXPECT_EQ(dev.State()["pin"], "");
    Query(port);
    EXPECT_EQ(port.ReadLine(ReplyWaitMs), AccessCodeBytes + " 1.3 1  Tolvane Demo\n");
}

TEST_F(SimulatedDeviceTest, FindsTheAccessCodeAfterOtherBytes)
{
    PortClient port(dev.PortPath());
    ASSERT_TRUE(port.Send(AccessCodeBytes.substr(0, 5) + AccessCodeBytes.substr(0, 4) + "\r\n"));
    Query(port);
    EXPECT_EQ(port.ReadLine(ReplyWaitMs), AccessCodeBytes + " 1.3 1 1234 Tolvane Demo\n");
}

TEST_F(SimulatedDeviceTest, FaultsShapeTheReply)
{
    struct Case {
        const char* scenario;
        std::string reply;
    };
    const Case cases[] = {
        {"mode=silent\n", ""},
        {"partial=5\n", "kwd38"},
        {"echo=KWD38M4TQZXH7\n", "KWD38M4TQZXH7 1.3 1 1234 Tolvane Demo\n"},
        {"crlf=1\n", AccessCodeBytes + " 1.3 1 1234 Tolvane Demo\r\n"},
        {"raw=A\\x00b\\tc\\\\\\r\\n\n", std::string("A\0b\tc\\\r\n", 8)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.scenario);
        dev.SetScenario(c.scenario);
        PortClient port(dev.PortPath());
        Query(port);
        EXPECT_EQ(port.ReadFor(QuietMs), c.reply);
    }
}

TEST_F(SimulatedDeviceTest, DelayAndGapHoldTheReplyBack)
{
    using Clock = std::chrono::steady_clock;
    dev.SetScenario("delay=400\nraw=0123456789\\n\ngap=30\n");
    PortClient port(dev.PortPath());
    const auto start = Clock::now();
    ASSERT_TRUE(port.Send(AccessCodeBytes));
    EXPECT_EQ(port.ReadFor(250), "");
    EXPECT_EQ(port.ReadLine(ReplyWaitMs), "0123456789\n");
    // 400 ms before the first byte, then ten gaps of 30 ms.
    EXPECT_GE(Clock::now() - start, std::chrono::milliseconds(690));
}

TEST_F(SimulatedDeviceTest, BaudPacingSendsNoFasterThanTheLine)
{
    using Clock = std::chrono::steady_clock;
    // The 13-byte query and the 1152-byte reply take 101.1 ms at 115200 baud,
    // 10 bits a byte. Timed from the query: a reader that wakes late would
    // see the paced bytes bunched up.
    dev.SetScenario("baud-pacing=1\nraw=" + std::string(1151, 'x') + "\\n\n");
    PortClient port(dev.PortPath());
    const auto start = Clock::now();
    ASSERT_TRUE(port.Send(AccessCodeBytes));
    EXPECT_EQ(port.ReadLine(ReplyWaitMs), std::string(1151, 'x') + '\n');
    EXPECT_GE(Clock::now() - start, std::chrono::microseconds(101100));
}

TEST_F(SimulatedDeviceTest, HangupDropsTheLineAndTheLinkFindsTheDeviceAgain)
{
    dev.SetScenario(std::string(BenchDevice::DefaultState) + "mode=hangup\npartial=5\n");
    {
        PortClient port(dev.PortPath());
        Query(port);
        EXPECT_EQ(port.ReadFor(QuietMs), AccessCodeBytes.substr(0, 5));
        EXPECT_TRUE(port.HungUp(ReplyWaitMs));
    }
    PortClient again(dev.PortPath());
    ASSERT_TRUE(again.IsOpen());
    Query(again);
    EXPECT_EQ(again.ReadLine(ReplyWaitMs), AccessCodeBytes + " 1.3 1 1234 Tolvane Demo\n");
}

TEST_F(SimulatedDeviceTest, AReplyTheHostDidNotWaitForIsNotReadByTheNextOpen)
{
    dev.SetScenario("delay=300\n");
    const BenchDevice::PortUse use = dev.BeginPortUse();
    {
        PortClient port(dev.PortPath());
        Query(port);
    }
    // The device has seen the close, and the reply's time has come: had it
    // not been dropped, it would wait in the port now.
    ASSERT_TRUE(dev.WaitForRelease(use, 5000));
    std::this_thread::sleep_for(std::chrono::milliseconds(500));
    dev.SetScenario(BenchDevice::DefaultState);
    PortClient port(dev.PortPath());
    EXPECT_EQ(port.ReadFor(QuietMs), "");
    Query(port);
    EXPECT_EQ(port.ReadLine(ReplyWaitMs), AccessCodeBytes + " 1.3 1 1234 Tolvane Demo\n");
}

}  // namespace
