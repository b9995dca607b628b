// What the tests of tolvane-cli on the bench share: the program run as a
// process against simulated devices, as a script runs it, and checked by
// what it prints on each stream, its exit code, and the bytes the device
// received. COM5, COM6 and COM7 hold devices; under Wine COM8 cannot be
// opened and COM9 cannot be set up.
#pragma once

#include "BenchDevice.h"
#include "BenchNames.h"
#include "BuildPath.h"
#include "RunProcess.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

inline constexpr char Completed[] = "Configuration is completed.\n";

// A message on standard error, as the program words it: its name first.
inline std::string Message(const std::string& text)
{
    return "tolvane-cli: " + text + "\n";
}

// The device every test starts from, plus the test's own faults.
inline void Reset(BenchDevice& device, const std::string& extra = "")
{
    device.SetScenario(BenchDevice::DefaultState + extra);
}

// With the system's reason for each, which follows the window's text. Wine's
// words are its own, so there only their place is checked.
#ifdef _WIN32
inline const std::string CannotOpenPort = ComName(UnopenableComNumber);
inline const std::string CannotSetUpPort = ComName(NullDeviceComNumber);
inline const std::string CannotOpenReason;
inline const std::string CannotSetUpReason;
#else
inline const std::string CannotOpenPort = BenchDevice::BenchFolder() + "/no-such-port";
inline const std::string CannotSetUpPort = "/dev/null";
inline const std::string CannotOpenReason = "No such file or directory";
inline const std::string CannotSetUpReason = "Inappropriate ioctl for device";
#endif

class CliOnBench : public ::testing::Test {
protected:
    void SetUp() override
    {
        for (BenchDevice* device : Devices()) {
            Reset(*device);
            device->MarkReceived();
        }
    }

    // Runs the program. Once it has ended, every device it talked to has
    // also seen it let go of the port, so the next command's open finds
    // nothing this one left unread (BenchDevice::WaitForRelease).
    ProcessResult Cli(const std::vector<std::string>& args)
    {
        std::vector<BenchDevice::PortUse> uses;
        for (BenchDevice* device : Devices())
            uses.push_back(device->BeginPortUse());
        ProcessResult run = RunProcess(BuildPath(TOLVANE_CLI_PATH), args, 20000);
        EXPECT_EQ(run.startError, "");
        for (std::size_t i = 0; i < uses.size(); ++i) {
            EXPECT_TRUE(Devices()[i]->WaitForRelease(uses[i], 10000))
                << "COM" << Devices()[i]->ComNumber() << " never saw the program let go of it";
        }
        return run;
    }

    // Runs the program on COM5 and expects what a failing command leaves: no
    // result, exactly `message` on standard error, and `code`.
    void ExpectFailure(std::vector<std::string> args, int code, const std::string& message)
    {
        const ProcessResult run = Cli(args);
        EXPECT_EQ(run.exitCode, code) << message;
        EXPECT_EQ(run.out, "") << message;
        EXPECT_EQ(run.err, Message(message));
    }

    // As ExpectFailure, with the system's `reason` for the failure on `port`
    // after the message (any reason, where `reason` is empty).
    void ExpectFailureWithReason(std::vector<std::string> args, int code, const std::string& message,
                                 const std::string& port, const std::string& reason)
    {
        const ProcessResult run = Cli(args);
        EXPECT_EQ(run.exitCode, code) << message;
        EXPECT_EQ(run.out, "") << message;
        const std::string start = "tolvane-cli: " + message + " (" + port + ": ";
        if (!reason.empty()) {
            EXPECT_EQ(run.err, start + reason + ")\n");
            return;
        }
        EXPECT_EQ(run.err.compare(0, start.size(), start), 0) << run.err;
        EXPECT_GT(run.err.size(), start.size() + 2) << run.err;
        EXPECT_EQ(run.err.substr(run.err.size() - std::min<std::size_t>(run.err.size(), 2)), ")\n") << run.err;
    }

    // Configure commands the device took so far (the bench runs one device
    // for all tests of this program).
    int Configures() { return std::atoi(m_device.State()["configures"].c_str()); }
    bool WaitForConfigures(int count) { return m_device.WaitForState("configures", std::to_string(count), 3000); }

    // A file in the bench folder, named as the program under test names it.
    static std::string WriteFile(const std::string& name, const std::string& text)
    {
        const std::string path = BenchDevice::BenchFolder() + "/" + name;
        std::ofstream(path, std::ios::binary) << text;
        return path;
    }

    std::vector<BenchDevice*> Devices() { return {&m_device, &m_other, &m_third}; }

    BenchDevice m_device{5};
    BenchDevice m_other{6};
    BenchDevice m_third{7};
    std::string m_port = m_device.PortName();
};
