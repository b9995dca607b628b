// What the tests of tolvane-cli on the bench share: the program run as a
// process against simulated devices, as a script runs it, and checked by
// what it prints on each stream, its exit code, and the bytes the device
// received. COM5, COM6 and COM7 hold devices; under Wine COM8 cannot be
// opened and COM9 cannot be set up.
#pragma once

#include "BenchDevice.h"
#include "BenchNames.h"
#include "BuildPath.h"
#include "ExpectedTexts.h"
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

// The lines that follow a message and say what the user can do.
inline std::string Hints(const std::vector<std::string>& hints)
{
    std::string lines;
    for (const std::string& hint : hints)
        lines += "hint: " + hint + "\n";
    return lines;
}

// The hint after a port that does not exist: the ports a scan finds. A scan
// opens no port, so it runs beside the bench's devices.
inline std::string ScanHint()
{
    const ProcessResult scan = RunProcess(BuildPath(TOLVANE_CLI_PATH), {"scan"}, 20000);
    std::vector<std::string> ports;
    for (std::size_t start = 0; start < scan.out.size(); start = scan.out.find('\n', start) + 1)
        ports.push_back(scan.out.substr(start, scan.out.find_first_of("\t\n", start) - start));
    if (ports.empty())
        return Hints({"tolvane-cli scan finds no serial port on this computer."});
    std::string list;
    for (std::size_t i = 0; i < ports.size(); ++i)
        list += (i == 0 ? "" : ", ") + ports[i];
    return Hints({"tolvane-cli scan finds these ports: " + list + "."});
}

inline const std::string TimeoutHints =
    Hints({"reset the device, check that it is switched on and connected, and try again.",
           "a paired Bluetooth device has two serial ports and only the outgoing one reaches it: tolvane-cli scan "
           "tells them apart."});

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
    // result, exactly `message` and `hints` on standard error, and `code`.
    void ExpectFailure(std::vector<std::string> args, int code, const std::string& message,
                       const std::string& hints = "")
    {
        const ProcessResult run = Cli(args);
        EXPECT_EQ(run.exitCode, code) << message;
        EXPECT_EQ(run.out, "") << message;
        EXPECT_EQ(run.err, Message(message) + hints);
    }

    // As ExpectFailure, with the system's `reason` for the failure on `port`
    // after the message (any reason, where `reason` is empty).
    void ExpectFailureWithReason(std::vector<std::string> args, int code, const std::string& message,
                                 const std::string& port, const std::string& reason, const std::string& hints = "")
    {
        const ProcessResult run = Cli(args);
        EXPECT_EQ(run.exitCode, code) << message;
        EXPECT_EQ(run.out, "") << message;
        const std::string start = "tolvane-cli: " + message + " (" + port + ": ";
        const std::size_t end = run.err.find('\n') + 1;
        EXPECT_EQ(run.err.substr(end), hints);
        const std::string line = run.err.substr(0, end);
        if (!reason.empty()) {
            EXPECT_EQ(line, start + reason + ")\n");
            return;
        }
        EXPECT_EQ(line.compare(0, start.size(), start), 0) << line;
        EXPECT_GT(line.size(), start.size() + 2) << line;
        EXPECT_EQ(line.substr(line.size() - std::min<std::size_t>(line.size(), 2)), ")\n") << line;
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
