// The shipped Tolvane.exe, started as its own process and worked only from
// outside, by tolvane-driver, as a user would work it, against the
// simulated device behind COM5. COM8 leads nowhere on the bench.
#include "BenchDevice.h"
#include "BuildPath.h"
#include "Protocol.h"
#include "RunProcess.h"

#include <gtest/gtest.h>

#include <iostream>
#include <string>
#include <vector>

namespace {

constexpr int StepTimeoutMs = 15000;
constexpr int DriverTimeoutMs = 120000;

// Starts Tolvane.exe through the driver, which works it by `script`;
// returns the driver's exit code (0: every step held). The driver prints
// each step, and the first one that did not hold, to the test's output.
int RunDriver(const std::vector<std::string>& script)
{
    std::vector<std::string> args = {"--timeout", std::to_string(StepTimeoutMs), "--start", BuildPath(TOLVANE_EXE)};
    args.insert(args.end(), script.begin(), script.end());
    const ProcessResult driver = RunProcess(BuildPath(DRIVER_EXE), args, DriverTimeoutMs);
    std::cout << driver.out << driver.err;
    if (driver.timedOut)
        ADD_FAILURE() << "the driver did not finish within " << DriverTimeoutMs << " ms";
    else if (driver.exitCode < 0)
        ADD_FAILURE() << "cannot start the driver: " << DRIVER_EXE;
    return driver.exitCode;
}

int Count(BenchDevice& device, const char* key)
{
    return std::stoi(device.State()[key]);
}

TEST(ShippedProgram, ReadsTheDeviceAndWritesItsNewAuthenticationSetting)
{
    BenchDevice device(5);
    device.SetScenario("name=Bench Unit 7\nversion=1.3\nauth=1\npin=4321\n");
    device.MarkReceived();
    const int queries = Count(device, "queries");
    const int configures = Count(device, "configures");

    EXPECT_EQ(RunDriver({
                  "expect-entries",
                  "31",
                  "expect-entry",
                  "5",
                  "COM5",
                  "expect-selection",
                  "0",
                  "expect-enabled",
                  "IDOK",
                  "0",
                  "select",
                  "5",
                  "expect-no-message",
                  // The whole name, spaces and the reply's line feed included.
                  "expect-text",
                  "IDC_DEVICE_NAME",
                  "Bench Unit 7\\n",
                  "expect-text",
                  "IDC_FIRMWARE_VERSION",
                  "1.3",
                  "expect-text",
                  "IDC_AUTH_STATUS",
                  "Enable",
                  "expect-text",
                  "IDC_PIN_CODE",
                  "4321",
                  "expect-enabled",
                  "IDC_NEW_PIN",
                  "1",
                  "expect-enabled",
                  "IDOK",
                  "1",
                  "click",
                  "IDC_AUTH_DISABLE",
                  "expect-enabled",
                  "IDC_NEW_PIN",
                  "0",
                  "expect-enabled",
                  "IDC_CONFIRM_PIN",
                  "0",
                  "click",
                  "IDOK",
                  "expect-message",
                  "Configuration is completed.",
                  "expect-enabled",
                  "IDC_DEVICE_NAME",
                  "0",
                  "expect-enabled",
                  "IDC_FIRMWARE_VERSION",
                  "0",
                  "expect-enabled",
                  "IDC_AUTH_STATUS",
                  "0",
                  "expect-enabled",
                  "IDC_PIN_CODE",
                  "0",
                  "expect-enabled",
                  "IDC_AUTH_ENABLE",
                  "0",
                  "expect-enabled",
                  "IDC_AUTH_DISABLE",
                  "0",
                  "expect-enabled",
                  "IDC_NEW_PIN",
                  "0",
                  "expect-enabled",
                  "IDC_CONFIRM_PIN",
                  "0",
                  "expect-enabled",
                  "IDOK",
                  "0",
                  "expect-enabled",
                  "IDC_PORT",
                  "1",
                  "expect-enabled",
                  "IDC_EXIT",
                  "1",
                  "click",
                  "IDC_EXIT",
                  "expect-exit",
              }),
              0);

    // The query, then the configure command with the flag cleared and the
    // device's own PIN (both PIN fields were left blank).
    const std::string code = AccessCode;
    EXPECT_EQ(device.ReceivedSinceMark(), code + code + " 0 4321 ");
    EXPECT_EQ(Count(device, "queries"), queries + 1);
    EXPECT_EQ(Count(device, "configures"), configures + 1);
    EXPECT_EQ(device.State()["auth"], "0");
    EXPECT_EQ(device.State()["pin"], "4321");
}

TEST(ShippedProgram, SaysSoWhenThePortCannotBeOpened)
{
    BenchDevice device(5);
    device.MarkReceived();
    EXPECT_EQ(RunDriver({
                  "select",
                  "8",
                  "expect-message",
                  "Cannot open the COM port.",
                  "expect-no-message",
                  "expect-text",
                  "IDC_DEVICE_NAME",
                  "",
                  "expect-enabled",
                  "IDOK",
                  "0",
                  "expect-enabled",
                  "IDC_NEW_PIN",
                  "0",
                  "expect-selection",
                  "8",
                  "click",
                  "IDC_EXIT",
                  "expect-exit",
              }),
              0);
    EXPECT_EQ(device.ReceivedSinceMark(), "");
}

}  // namespace
