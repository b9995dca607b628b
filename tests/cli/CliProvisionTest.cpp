// `provision` on the bench: plans with bad rows and with a silent port,
// random PINs, and a plan checked against the devices.
#include "CliBench.h"

#include <algorithm>
#include <set>
#include <sstream>

namespace {

// The header, then the rows' lines in the order the rows ended, which is
// up to the devices: sorted here.
std::vector<std::string> RowLines(const std::string& out, const std::string& header = ProvisionHeader)
{
    EXPECT_EQ(out.compare(0, header.size(), header), 0) << out;
    std::istringstream rest(out.substr(std::min(header.size(), out.size())));
    std::vector<std::string> lines;
    for (std::string line; std::getline(rest, line);)
        lines.push_back(line);
    std::sort(lines.begin(), lines.end());
    return lines;
}

TEST_F(CliOnBench, APlanWithABadRowOpensNoPort)
{
    // A byte-order mark and CRLF line ends, as a spreadsheet saves a plan.
    const std::string plan = WriteFile(
        "bad-plan.csv", "\xEF\xBB\xBFport,auth,pin\r\n" + m_port + ",on,5678\r\n" + m_third.PortName() + ",maybe,\r\n");
    const ProcessResult run = Cli({"provision", plan});
    EXPECT_EQ(run.exitCode, 17);
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(run.err, Message(plan + ", line 3: auth takes on or off (or 1 or 0), not \"maybe\"."));
    EXPECT_EQ(m_device.ReceivedSinceMark(), "");
    EXPECT_EQ(m_third.ReceivedSinceMark(), "");
}

#ifndef _WIN32
// A plan written for Windows names COM5, which is no path here: the plan
// is refused, with what query COM5 would tell.
TEST_F(CliOnBench, APlansWindowsPortNameGetsTheHintThatPortsArePaths)
{
    const std::string plan = WriteFile("windows-plan.csv", "port,auth,pin\nCOM5,on,\ncom7,off,\n" + m_port + ",on,\n");
    const ProcessResult run = Cli({"provision", plan});
    EXPECT_EQ(run.exitCode, 17);
    const std::string pathsHint =
        "hint: ports are paths here: /dev/rfcomm0 for a bound RFCOMM device, or bt://ADDRESS "
        "straight over Bluetooth.\n";
    EXPECT_EQ(run.err.rfind(Message(plan + ", line 2: there is no port \"COM5\".") + pathsHint +
                                Message(plan + ", line 3: there is no port \"com7\".") + pathsHint +
                                "hint: tolvane-cli scan finds ",
                            0),
              0u)
        << run.err;
    EXPECT_EQ(m_device.ReceivedSinceMark(), "");
}
#endif

TEST_F(CliOnBench, ASilentPortFailsOnlyItsOwnRowOfAPlan)
{
    Reset(m_other, "mode=silent\n");
    Reset(m_third, "auth=0\nname=Bench Three\n");
    const std::string plan = WriteFile("plan.csv", std::string("port,auth,pin\n") + m_port + ",off,5678\n" +
                                                       m_other.PortName() + ",on,\n" + m_third.PortName() + ",on,\n");
    const ProcessResult run = Cli({"provision", plan, "--verify", "--jobs", "2"});
    EXPECT_EQ(run.exitCode, 16);
    std::vector<std::string> expected = {
        m_port + "\tverified\t1.3\tTolvane Demo\tEnable\tDisable\t0",
        m_other.PortName() + "\tno-answer\t\t\t\t\t6\t\tReading COM port timeout.",
        m_third.PortName() + "\tverified\t1.3\tBench Three\tDisable\tEnable\t0",
    };
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(RowLines(run.out), expected);
    EXPECT_EQ(run.err, Message("2 of 3 ports were provisioned, 1 were not."));
    EXPECT_EQ(m_device.State()["pin"], "5678");
    EXPECT_EQ(m_third.State()["auth"], "1");
    EXPECT_EQ(m_third.State()["pin"], "1234");
    EXPECT_EQ(m_other.ReceivedSinceMark(), AccessCodeBytes);
}

// Each device gets a PIN of its own, which the row reports, and none keeps
// the PIN it had. The device on COM6 already holds a PIN the drawer could
// draw for it; it must not get it again.
TEST_F(CliOnBench, RandomPinsAreDrawnForEachDeviceAndReported)
{
    Reset(m_other, "pin=4444\n");
    const std::string plan = WriteFile("random.csv", "port,auth,pin\n" + m_port + ",on,random\n" + m_other.PortName() +
                                                         ",on,random:4\n" + m_third.PortName() + ",off,random:12\n");
    const ProcessResult run = Cli({"provision", plan, "--verify", "--json"});
    EXPECT_EQ(run.exitCode, 0) << run.err;
    std::set<std::string> pins;
    for (BenchDevice* device : Devices()) {
        const std::string pin = device->State()["pin"];
        EXPECT_NE(run.out.find("\"port\":\"" + device->PortName() + "\",\"status\":\"verified\""), std::string::npos)
            << run.out;
        EXPECT_NE(run.out.find("\"pin\":\"" + pin + "\"}"), std::string::npos) << run.out;
        EXPECT_EQ(pin.find_first_not_of("0123456789"), std::string::npos) << pin;
        pins.insert(pin);
    }
    EXPECT_EQ(m_device.State()["pin"].size(), 6u);
    EXPECT_EQ(m_other.State()["pin"].size(), 4u);
    EXPECT_NE(m_other.State()["pin"], "4444");
    EXPECT_EQ(m_third.State()["pin"].size(), 12u);
    EXPECT_EQ(pins.size(), 3u);
}

// --check reads and tells; the devices receive queries and nothing else.
TEST_F(CliOnBench, ACheckedPlanWritesNothing)
{
    Reset(m_other, "version=2.0\n");
    const std::string plan = WriteFile("check.csv", "port,auth,pin\n" + m_port + ",on,\n" + m_other.PortName() +
                                                        ",on,\n" + m_third.PortName() + ",off,random:5\n");
    const ProcessResult run = Cli({"provision", plan, "--check", "--jobs", "1"});
    EXPECT_EQ(run.exitCode, 16);
    const std::string header =
        "port\tstatus\tfirmware\tname\tauthenticationBefore\tauthenticationAfter\texitCode\t"
        "pinBefore\tpinAfter\treason\n";
    const std::string third = m_third.PortName();
    EXPECT_EQ(run.out, header + m_port + "\tunchanged\t1.3\tTolvane Demo\tEnable\tEnable\t0\t1234\t1234\n" +
                           m_other.PortName() +
                           "\tunsupported-firmware\t2.0\t\t\t\t8\t\t\tUnsupported firmware "
                           "version: \"2.0\"\n" +
                           third + "\twould-change\t1.3\tTolvane Demo\tEnable\tDisable\t0\t1234\trandom:5\n");
    EXPECT_EQ(run.err, Message("2 of 3 ports could be provisioned, 1 could not."));
    for (BenchDevice* device : Devices())
        EXPECT_EQ(device->ReceivedSinceMark(), AccessCodeBytes) << device->PortName();

    // --quiet: the same rows and exit code, and no summary.
    const ProcessResult quiet = Cli({"provision", plan, "--check", "--jobs", "1", "--quiet"});
    EXPECT_EQ(quiet.exitCode, 16);
    EXPECT_EQ(quiet.out, run.out);
    EXPECT_EQ(quiet.err, "");
}

}  // namespace
