// The POSIX back end on real pseudo-terminals: how opening a port turns out,
// with the system's reason for a failure, and the line settings the device
// needs landing on the tty.
#include "DeviceLink.h"
#include "PseudoTerminal.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>

#include <termios.h>

namespace {

// The failed step and the system's error and words, as the port reported them.
void ExpectPortFailure(const PortResult& result, PortOperation operation, int error)
{
    EXPECT_EQ(result.operation, operation);
    EXPECT_EQ(result.systemError, error);
    EXPECT_EQ(result.systemText, std::strerror(error));
}

}  // namespace

TEST(PosixPortOpen, MissingPathFailsToOpen)
{
    DeviceLink link;
    EXPECT_EQ(link.Open("/dev/tolvane-no-such-port"), LinkResult::OpenFailed);
    EXPECT_FALSE(link.IsOpen());
    ExpectPortFailure(link.LastPortResult(), PortOperation::Open, ENOENT);
}

TEST(PosixPortOpen, FileThatIsNoTtyFailsSetupAndStaysOpen)
{
    DeviceLink link;
    EXPECT_EQ(link.Open("/dev/null"), LinkResult::SetupFailed);
    EXPECT_TRUE(link.IsOpen());
    ExpectPortFailure(link.LastPortResult(), PortOperation::Setup, ENOTTY);
    link.Close();
    EXPECT_FALSE(link.IsOpen());
}

TEST(PosixPortOpen, HeldPortCannotBeOpenedAgainUntilClosed)
{
    PseudoTerminal device;
    DeviceLink first;
    DeviceLink second;
    ASSERT_EQ(first.Open(device.SlavePath()), LinkResult::Ok);
    EXPECT_EQ(second.Open(device.SlavePath()), LinkResult::OpenFailed);
    EXPECT_FALSE(second.IsOpen());
    ExpectPortFailure(second.LastPortResult(), PortOperation::Open, EBUSY);
    first.Close();
    EXPECT_EQ(second.Open(device.SlavePath()), LinkResult::Ok);
}

// The tty starts out with every setting the device cannot work with, so each
// check below sees a change the port made. A pseudo-terminal always keeps 8
// data bits and no parity, so those two checks only show nothing undid them.
TEST(PosixPortOpen, DeviceLineSettingsLandOnTheTty)
{
    PseudoTerminal device;
    termios before = {};
    ASSERT_EQ(tcgetattr(device.SlaveFd(), &before), 0);
    cfsetispeed(&before, B9600);
    cfsetospeed(&before, B9600);
    before.c_cflag |= CSTOPB | CRTSCTS;
    before.c_iflag |= IXON | IXOFF | ICRNL;
    before.c_lflag |= ICANON | ECHO;
    ASSERT_EQ(tcsetattr(device.SlaveFd(), TCSANOW, &before), 0);
    ASSERT_EQ(tcgetattr(device.SlaveFd(), &before), 0);
    ASSERT_EQ(cfgetospeed(&before), static_cast<speed_t>(B9600));
    ASSERT_EQ(before.c_cflag & (CSTOPB | CRTSCTS), static_cast<tcflag_t>(CSTOPB | CRTSCTS));
    ASSERT_EQ(before.c_iflag & (IXON | IXOFF), static_cast<tcflag_t>(IXON | IXOFF));

    DeviceLink link;
    ASSERT_EQ(link.Open(device.SlavePath()), LinkResult::Ok);

    termios after = {};
    ASSERT_EQ(tcgetattr(device.SlaveFd(), &after), 0);
    EXPECT_EQ(cfgetispeed(&after), static_cast<speed_t>(B115200));
    EXPECT_EQ(cfgetospeed(&after), static_cast<speed_t>(B115200));
    EXPECT_EQ(after.c_cflag & CSIZE, static_cast<tcflag_t>(CS8));
    EXPECT_EQ(after.c_cflag & (PARENB | CSTOPB | CRTSCTS), 0u);
    EXPECT_EQ(after.c_cflag & (CLOCAL | CREAD), static_cast<tcflag_t>(CLOCAL | CREAD));
    EXPECT_EQ(after.c_iflag & (IXON | IXOFF | IXANY | ICRNL), 0u);
    EXPECT_EQ(after.c_lflag & (ICANON | ECHO | ISIG), 0u);
    EXPECT_EQ(after.c_oflag & OPOST, 0u);
}
