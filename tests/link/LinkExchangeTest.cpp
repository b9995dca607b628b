// The device link over a real pseudo-terminal: the bytes the device sees and
// how reply lines are read, including a device that falls silent.
#include "BenchNames.h"
#include "DeviceLink.h"
#include "ReplyLineReader.h"
#include "PseudoTerminal.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstring>
#include <memory>
#include <termios.h>
#include <thread>

namespace {

class LinkExchange : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_EQ(link.Open(device.SlavePath()), LinkResult::Ok); }

    // Reads a line and reports how long the reader took.
    double ReadLineSeconds(ReplyLine& line, LinkResult& result)
    {
        const auto start = std::chrono::steady_clock::now();
        result = ReadReplyLine(port, line);
        return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    }

    PseudoTerminal device;
    // The link owns the port; the reader takes the line after a query
    // straight from it.
    std::unique_ptr<SerialPort> owned = CreateSystemSerialPort();
    SerialPort& port = *owned;
    DeviceLink link{std::move(owned)};
};

}  // namespace

// The device answers only once the whole access code has come in.
TEST_F(LinkExchange, QuerySendsTheAccessCodeAndReadsOneReplyLine)
{
    std::string received;
    std::thread plays([&] {
        received = device.Receive(AccessCodeLength, 3000);
        device.Send(AccessCodeBytes + " 1.3 1 4321 Bench Device\nnext\n");
    });
    DeviceInfo info;
    const LinkResult result = link.Query(info);
    plays.join();

    EXPECT_EQ(received, AccessCodeBytes);
    ASSERT_EQ(result, LinkResult::Ok);
    EXPECT_STREQ(info.version, "1.3");
    EXPECT_STREQ(info.pin, "4321");
    EXPECT_EQ(info.displayName, "Bench Device\n");

    ReplyLine rest;  // the reply was taken up to its line feed, no further
    ASSERT_EQ(ReadReplyLine(port, rest), LinkResult::Ok);
    EXPECT_STREQ(rest.bytes, "next\n");
}

// A port opened afresh starts empty, as a serial port does: what came after
// the last line read is gone with the close.
TEST_F(LinkExchange, ReopenedPortHoldsNothingOfTheLastReply)
{
    device.Send("first\nleft over\n");
    std::this_thread::sleep_for(std::chrono::milliseconds(100));  // both lines are in
    ReplyLine line;
    ASSERT_EQ(ReadReplyLine(port, line), LinkResult::Ok);
    EXPECT_STREQ(line.bytes, "first\n");

    link.Close();
    tcflush(device.SlaveFd(), TCIFLUSH);  // the tty's own leftovers, as a real port drops them
    ASSERT_EQ(link.Open(device.SlavePath()), LinkResult::Ok);
    device.Send("fresh\n");
    ASSERT_EQ(ReadReplyLine(port, line), LinkResult::Ok);
    EXPECT_STREQ(line.bytes, "fresh\n");
}

TEST_F(LinkExchange, ConfigureSendsTheCommandWholeAndReadsNothing)
{
    device.Send("unread\n");
    EXPECT_EQ(link.Configure(1, "9876"), LinkResult::Ok);
    EXPECT_EQ(link.Configure(0, ""), LinkResult::Ok);
    const std::string expected = AccessCodeBytes + " 1 9876 " + AccessCodeBytes + " 0  ";
    EXPECT_EQ(device.Receive(expected.size() + 1, 500), expected);

    ReplyLine line;
    ASSERT_EQ(ReadReplyLine(port, line), LinkResult::Ok);
    EXPECT_STREQ(line.bytes, "unread\n");
}

TEST_F(LinkExchange, SilentDeviceTimesOutAfterAboutFiveSeconds)
{
    ReplyLine line;
    LinkResult result;
    const double seconds = ReadLineSeconds(line, result);
    EXPECT_EQ(result, LinkResult::Timeout);
    EXPECT_GE(seconds, 4.5);
    EXPECT_LE(seconds, 6.0);
}

TEST_F(LinkExchange, PartialLineThenSilenceTimesOutAndIsAbandoned)
{
    device.Send("kwd38m4t");
    ReplyLine line;
    LinkResult result;
    const double seconds = ReadLineSeconds(line, result);
    EXPECT_EQ(result, LinkResult::Timeout);
    EXPECT_GE(seconds, 4.5);
    EXPECT_EQ(line.length, 0u);
    EXPECT_EQ(line.bytes[0], '\0');

    device.Send("ok\n");
    ASSERT_EQ(ReadReplyLine(port, line), LinkResult::Ok);
    EXPECT_STREQ(line.bytes, "ok\n");
}

// 127 bytes fill the line; the reader stops there and takes nothing more.
TEST_F(LinkExchange, LineWithoutLineFeedStopsAtTheBufferBound)
{
    struct {
        ReplyLine line;
        char after[64];
    } guarded;
    std::memset(guarded.after, 'G', sizeof guarded.after);
    device.Send(std::string(200, 'x') + "\n");

    EXPECT_EQ(ReadReplyLine(port, guarded.line), LinkResult::BadReply);
    EXPECT_EQ(guarded.line.length, 0u);
    EXPECT_EQ(std::string(guarded.after, sizeof guarded.after), std::string(64, 'G'));

    ReplyLine rest;
    ASSERT_EQ(ReadReplyLine(port, rest), LinkResult::Ok);
    EXPECT_EQ(rest.length, 200u - 127u + 1u);
}

// A vanished device fails the write and ends a read at once.
TEST_F(LinkExchange, HungUpDeviceFailsWritesAndReads)
{
    device.HangUp();
    EXPECT_EQ(link.Configure(1, "1234"), LinkResult::WriteFailed);
    DeviceInfo info;
    EXPECT_EQ(link.Query(info), LinkResult::WriteFailed);

    ReplyLine line;
    LinkResult result;
    EXPECT_LT(ReadLineSeconds(line, result), 1.0);
    EXPECT_EQ(result, LinkResult::Timeout);
}
