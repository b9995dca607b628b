// The same faults through the device link on the POSIX back end, where they
// are cheaper to make or where Wine cannot show them: a gap between any two
// bytes of a reply, hang-ups, and a port another program holds.
#include "BenchDevice.h"
#include "BenchNames.h"
#include "DeviceLink.h"
#include "Protocol.h"
#include "PseudoTerminal.h"
#include "PosixPipe.h"

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include <sys/wait.h>
#include <unistd.h>

namespace {

using Clock = std::chrono::steady_clock;
using Seconds = std::chrono::duration<double>;

// A reply split in two, with a pause between the halves, so the gap falls
// inside the line rather than before its first byte.
const std::string ReplyStart = AccessCodeBytes + " 1.3 1 12";
constexpr char ReplyEnd[] = "34 Slow Unit\n";

struct TimedQuery {
    LinkResult result;
    Seconds took;
    DeviceInfo info;
};

// Plays a device whose reply pauses for `gap` after ReplyStart.
TimedQuery QueryDeviceWithGap(std::chrono::milliseconds gap)
{
    PseudoTerminal device;
    DeviceLink link;
    EXPECT_EQ(link.Open(device.SlavePath()), LinkResult::Ok);
    std::thread plays([&] {
        if (device.Receive(AccessCodeLength, 3000).size() != AccessCodeLength)
            return;
        device.Send(ReplyStart);
        std::this_thread::sleep_for(gap);
        device.Send(ReplyEnd);
    });
    TimedQuery query{};
    const auto start = Clock::now();
    query.result = link.Query(query.info);
    query.took = Clock::now() - start;
    plays.join();
    return query;
}

TEST(SlowDevice, AGapBetweenTwoBytesJustInsideTheWaitIsAccepted)
{
    const TimedQuery query = QueryDeviceWithGap(std::chrono::milliseconds(4500));
    ASSERT_EQ(query.result, LinkResult::Ok);
    EXPECT_STREQ(query.info.pin, "1234");
    EXPECT_EQ(query.info.displayName, "Slow Unit\n");
}

// The reader gives up about 5010 ms after the last byte, before the rest comes.
TEST(SlowDevice, AGapJustPastTheWaitTimesOut)
{
    const TimedQuery query = QueryDeviceWithGap(std::chrono::milliseconds(5500));
    EXPECT_EQ(query.result, LinkResult::Timeout);
    EXPECT_GE(query.took.count(), 4.9);
    EXPECT_STREQ(query.info.pin, "");
}

// The bench's simulated device on its pseudo-terminal behind B/com5.
class BenchPortFaults : public ::testing::Test {
protected:
    void SetUp() override { com5.SetScenario(BenchDevice::DefaultState); }

    void ExpectTheDeviceAnswersAgain()
    {
        DeviceLink link;
        ASSERT_EQ(link.Open(com5.PortPath()), LinkResult::Ok);
        DeviceInfo info;
        EXPECT_EQ(link.Query(info), LinkResult::Ok);
        EXPECT_EQ(info.displayName, "Tolvane Demo\n");
    }

    BenchDevice com5{5};
};

// Unlike Wine's, the POSIX back end sees the hang-up and stops waiting.
TEST_F(BenchPortFaults, AHangupInTheMiddleOfAReplyEndsTheReadAtOnce)
{
    com5.SetScenario(std::string(BenchDevice::DefaultState) + "mode=hangup\npartial=20\n");
    DeviceLink link;
    ASSERT_EQ(link.Open(com5.PortPath()), LinkResult::Ok);
    DeviceInfo info;
    const auto start = Clock::now();
    EXPECT_EQ(link.Query(info), LinkResult::Timeout);
    EXPECT_LT(Seconds(Clock::now() - start).count(), 3.0);
    EXPECT_STREQ(info.echo, "");

    ExpectTheDeviceAnswersAgain();
}

TEST_F(BenchPortFaults, APortGoneAfterAGoodReplyFailsTheConfigureWrite)
{
    const long hangupsBefore = com5.Hangups();
    com5.SetScenario(std::string(BenchDevice::DefaultState) + "mode=hangup\npartial=1000\n");
    com5.MarkReceived();
    const std::string configuresBefore = com5.State()["configures"];
    DeviceLink link;
    ASSERT_EQ(link.Open(com5.PortPath()), LinkResult::Ok);
    DeviceInfo info;
    ASSERT_EQ(link.Query(info), LinkResult::Ok);
    ASSERT_TRUE(com5.WaitForState("hangups", std::to_string(hangupsBefore + 1), 5000));

    EXPECT_EQ(link.Configure(0, "9999"), LinkResult::WriteFailed);
    EXPECT_EQ(com5.ReceivedSinceMark(), AccessCodeBytes);
    EXPECT_EQ(com5.State()["configures"], configuresBefore);

    ExpectTheDeviceAnswersAgain();
}

// Another program holds the port: it opens the port before this one and
// keeps it until told to let go.
TEST_F(BenchPortFaults, APortHeldByAnotherProgramCannotBeOpened)
{
    PosixPipe opened;
    PosixPipe release;
    ASSERT_TRUE(MakePipe(opened));
    ASSERT_TRUE(MakePipe(release));
    const pid_t holder = fork();
    ASSERT_GE(holder, 0);
    if (holder == 0) {
        release.write.Reset();
        DeviceLink link;
        const char result = link.Open(com5.PortPath()) == LinkResult::Ok ? 'y' : 'n';
        (void)!write(opened.write.Get(), &result, 1);
        char ignored;
        (void)!read(release.read.Get(), &ignored, 1);  // returns when the parent closes its end
        _exit(0);
    }
    opened.write.Reset();
    release.read.Reset();
    char holderResult = 0;
    ASSERT_EQ(read(opened.read.Get(), &holderResult, 1), 1);
    ASSERT_EQ(holderResult, 'y');

    DeviceLink link;
    EXPECT_EQ(link.Open(com5.PortPath()), LinkResult::OpenFailed);
    EXPECT_FALSE(link.IsOpen());

    release.write.Reset();
    int status = 0;
    ASSERT_EQ(waitpid(holder, &status, 0), holder);
    ExpectTheDeviceAnswersAgain();
}

}  // namespace
