// The Win32 back end as a Windows program under Wine, against the simulated
// device on the bench (COM5). COM8 has nothing behind it; COM9 is /dev/null.
//
// What Wine cannot show: a second open of a port held by another handle
// succeeds on a pseudo-terminal (no exclusive open); the RTS setting does not
// read back (a pseudo-terminal has no modem lines); the time-outs belong to
// the handle, so only the silent device's wait shows them.
#include "BenchDevice.h"
#include "BenchNames.h"
#include "DeviceLink.h"
#include "ReplyLineReader.h"
#include "serial/UniqueHandle.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <chrono>
#include <memory>

namespace {

const std::string NothingBehindIt = Win32PortPath(UnopenableComNumber);
const std::string NoSerialLine = Win32PortPath(NullDeviceComNumber);

// The bench's device lives as long as the program: each test starts it on a
// plain answer and looks only at what it received since.
class Win32Port : public ::testing::Test {
protected:
    void SetUp() override
    {
        device.SetScenario("");
        device.MarkReceived();
        ASSERT_EQ(link.Open(device.PortPath()), LinkResult::Ok);
    }

    BenchDevice device{5};
    // The link owns the port; the reader and the bare write use it directly.
    std::unique_ptr<SerialPort> owned = CreateSystemSerialPort();
    SerialPort& port = *owned;
    DeviceLink link{std::move(owned)};
};

// The failed step and the system's error, with words for it that end
// without FormatMessage's line end.
void ExpectPortFailure(const PortResult& result, PortOperation operation)
{
    EXPECT_EQ(result.operation, operation);
    EXPECT_NE(result.systemError, 0);
    ASSERT_NE(result.systemText, "");
    EXPECT_EQ(result.systemText.find_last_of("\r\n"), std::string::npos) << result.systemText;
    EXPECT_NE(result.systemText.back(), ' ');
}

}  // namespace

TEST(Win32PortOpen, PortWithNothingBehindItFailsToOpen)
{
    DeviceLink link;
    EXPECT_EQ(link.Open(NothingBehindIt), LinkResult::OpenFailed);
    EXPECT_FALSE(link.IsOpen());
    ExpectPortFailure(link.LastPortResult(), PortOperation::Open);
    EXPECT_TRUE(link.LastPortResult().systemError == ERROR_FILE_NOT_FOUND ||
                link.LastPortResult().systemError == ERROR_PATH_NOT_FOUND)
        << link.LastPortResult().systemError;
}

TEST(Win32PortOpen, PortThatTakesNoLineSettingsFailsSetupAndStaysOpen)
{
    DeviceLink link;
    EXPECT_EQ(link.Open(NoSerialLine), LinkResult::SetupFailed);
    EXPECT_TRUE(link.IsOpen());
    ExpectPortFailure(link.LastPortResult(), PortOperation::Setup);
}

// The port's line settings through a handle of the test's own, after
// `change` altered them if it returns true.
template <typename Change>
DCB ChangePortSettings(const std::string& path, Change change)
{
    DCB dcb = {};
    dcb.DCBlength = sizeof dcb;
    const UniqueHandle port(
        CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, NULL, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, NULL));
    EXPECT_TRUE(port.IsValid());
    EXPECT_TRUE(GetCommState(port.Get(), &dcb));
    if (change(dcb)) {
        EXPECT_TRUE(SetCommState(port.Get(), &dcb));
    }
    return dcb;
}

// The port starts out with settings the device cannot work with. They stay on
// the pseudo-terminal after the link closes, so a fresh handle reads back what
// the link set.
TEST(Win32PortOpen, DeviceLineSettingsLandOnThePort)
{
    BenchDevice device(5);
    ChangePortSettings(device.PortPath(), [](DCB& dcb) {
        dcb.BaudRate = CBR_9600;
        dcb.StopBits = TWOSTOPBITS;
        dcb.fOutxCtsFlow = dcb.fOutX = dcb.fInX = TRUE;
        return true;
    });
    DeviceLink link;
    ASSERT_EQ(link.Open(device.PortPath()), LinkResult::Ok);
    link.Close();

    const DCB dcb = ChangePortSettings(device.PortPath(), [](DCB&) { return false; });
    EXPECT_EQ(dcb.BaudRate, static_cast<DWORD>(CBR_115200));
    EXPECT_EQ(dcb.ByteSize, 8);
    EXPECT_EQ(dcb.Parity, NOPARITY);
    EXPECT_EQ(dcb.StopBits, ONESTOPBIT);
    EXPECT_FALSE(dcb.fOutxCtsFlow || dcb.fOutX || dcb.fInX);
}

// The reply is followed by a second line: the query takes its own line and
// nothing after it.
TEST_F(Win32Port, QuerySendsTheAccessCodeAndReadsOneReplyLine)
{
    device.SetScenario("raw=" + AccessCodeBytes + " 1.3 1 4321 Bench Device\\nnext\\n\n");
    DeviceInfo info;
    const LinkResult result = link.Query(info);
    EXPECT_EQ(device.ReceivedSinceMark(), AccessCodeBytes);
    ASSERT_EQ(result, LinkResult::Ok);
    EXPECT_STREQ(info.version, "1.3");
    EXPECT_STREQ(info.pin, "4321");
    EXPECT_EQ(info.displayName, "Bench Device\n");

    ReplyLine rest;
    ASSERT_EQ(ReadReplyLine(port, rest), LinkResult::Ok);
    EXPECT_STREQ(rest.bytes, "next\n");
}

TEST_F(Win32Port, ConfigureSendsTheCommandWhole)
{
    const std::string configures = std::to_string(std::stoi(device.State().at("configures")) + 1);
    EXPECT_EQ(link.Configure(0, "9876"), LinkResult::Ok);
    ASSERT_TRUE(device.WaitForState("configures", configures, 3000));
    EXPECT_EQ(device.ReceivedSinceMark(), AccessCodeBytes + " 0 9876 ");
}

TEST_F(Win32Port, SilentDeviceTimesOutAfterAboutFiveSeconds)
{
    device.SetScenario("mode=silent\n");
    const auto start = std::chrono::steady_clock::now();
    DeviceInfo info;
    EXPECT_EQ(link.Query(info), LinkResult::Timeout);
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    EXPECT_GE(seconds, 4.5);
    EXPECT_LE(seconds, 6.0);
}

// The device hangs up on the query, a moment after it took it; until then a
// configure command still reaches it. The access code is written without
// reading: under Wine a read on a dead line waits out its whole time-out.
TEST_F(Win32Port, WriteAfterTheDeviceHungUpFails)
{
    device.SetScenario("mode=hangup\n");
    ASSERT_TRUE(port.Write(AccessCode, AccessCodeLength).Ok());

    LinkResult result = LinkResult::Ok;
    for (int attempt = 0; attempt < 30 && result == LinkResult::Ok; ++attempt) {
        Sleep(100);
        result = link.Configure(1, "1234");
    }
    EXPECT_EQ(result, LinkResult::WriteFailed);
}
