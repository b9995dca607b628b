// --record on the bench: the entries of a run, the file's mode, two
// programs appending at once, and --resume.
#include "CliBench.h"

#include <fstream>
#include <thread>

#ifndef _WIN32
#include <sys/stat.h>
#endif

namespace {

std::vector<std::string> Lines(const std::string& path)
{
    std::ifstream file(path, std::ios::binary);
    std::vector<std::string> lines;
    for (std::string line; std::getline(file, line);)
        lines.push_back(line);
    return lines;
}

// The value of `key` in a line of the record, as it stands in the JSON.
std::string Value(const std::string& line, const std::string& key)
{
    const std::string start = "\"" + key + "\":";
    const std::size_t at = line.find(start);
    if (at == std::string::npos)
        return "";
    const std::size_t from = at + start.size();
    return line.substr(from, line.find_first_of(",}", from) - from);
}

class CliRecord : public CliOnBench {
protected:
    void SetUp() override
    {
        CliOnBench::SetUp();
        std::remove(m_record.c_str());
    }

    std::string m_record = BenchDevice::BenchFolder() + "/record.jsonl";
};

// Each device's "written" entry comes before its result; both carry what the
// device had, what was asked and the PIN set, under the run's one id.
TEST_F(CliRecord, ARunRecordsEachDeviceBeforeAndAfterItsWrite)
{
    Reset(m_other, "mode=silent\n");
    const std::string plan =
        WriteFile("recorded.csv", "port,auth,pin\n" + m_port + ",off,random:7\n" + m_other.PortName() + ",on,\n");
    const ProcessResult run = Cli({"provision", plan, "--record", m_record, "--jobs", "1"});
    EXPECT_EQ(run.exitCode, 16);
#ifndef _WIN32
    struct stat info = {};
    ASSERT_EQ(stat(m_record.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0600u);
#endif
    const std::vector<std::string> lines = Lines(m_record);
    ASSERT_EQ(lines.size(), 3u);
    const std::string pin = m_device.State()["pin"];
    const std::string written = lines[0], done = lines[1], failed = lines[2];
    EXPECT_EQ(Value(written, "entry"), "\"written\"");
    EXPECT_EQ(Value(written, "line"), "2");
    EXPECT_EQ(Value(written, "pinBefore"), "\"1234\"");
    EXPECT_EQ(Value(written, "pinAsked"), "\"random:7\"");
    EXPECT_EQ(Value(written, "pinSet"), "\"" + pin + "\"");
    EXPECT_EQ(Value(written, "status"), "");
    EXPECT_EQ(Value(done, "entry"), "\"result\"");
    EXPECT_EQ(Value(done, "pinSet"), "\"" + pin + "\"");
    EXPECT_EQ(Value(done, "written"), "true");
    EXPECT_EQ(Value(done, "status"), "\"configured\"");
    EXPECT_EQ(Value(failed, "line"), "3");
    EXPECT_EQ(Value(failed, "written"), "false");
    EXPECT_EQ(Value(failed, "exitCode"), "6");
    EXPECT_EQ(Value(failed, "reason"), "\"Reading COM port timeout.\"");
    for (const std::string& line : lines) {
        EXPECT_EQ(Value(line, "run"), Value(written, "run"));
        EXPECT_EQ(Value(line, "run").size(), 18u) << line;
        EXPECT_EQ(Value(line, "time").size(), 26u) << line;  // "2026-12-08T17:30:00.123Z"
        EXPECT_EQ(Value(line, "port").empty(), false);
    }

    // Resumed: only the row that failed is worked again.
    Reset(m_other);
    const std::string configures = std::to_string(std::atoi(m_other.State()["configures"].c_str()) + 1);
    m_device.MarkReceived();
    m_other.MarkReceived();
    const ProcessResult resumed = Cli({"provision", plan, "--record", m_record, "--resume"});
    EXPECT_EQ(resumed.exitCode, 0) << resumed.err;
    EXPECT_NE(resumed.out.find(m_port + "\tdone-earlier\t\t\t\t\t0\n"), std::string::npos) << resumed.out;
    EXPECT_EQ(m_device.ReceivedSinceMark(), "");
    EXPECT_EQ(m_device.State()["pin"], pin);
    EXPECT_EQ(m_other.State()["configures"], configures);
    // Resumed once more, the resumed run is the last: nothing is left to do.
    const ProcessResult again = Cli({"provision", plan, "--record", m_record, "--resume"});
    EXPECT_EQ(again.exitCode, 0) << again.err;
    EXPECT_EQ(m_other.State()["configures"], configures);
    EXPECT_EQ(Lines(m_record).size(), 8u);

    // A later run that was cut short after the second row failed in it, and
    // before it recorded anything of the first: the first row is still done,
    // in the first run, and only the second is worked again.
    const std::string firstRun = Value(written, "run");
    std::string cutShort = failed;
    cutShort.replace(cutShort.find(firstRun), firstRun.size(), "\"0123456789abcdef\"");
    std::ofstream(m_record, std::ios::binary | std::ios::app) << cutShort << '\n';
    m_device.MarkReceived();
    const ProcessResult third = Cli({"provision", plan, "--record", m_record, "--resume"});
    EXPECT_EQ(third.exitCode, 0) << third.err;
    EXPECT_EQ(m_device.ReceivedSinceMark(), "");
    EXPECT_EQ(m_device.State()["pin"], pin);
    EXPECT_EQ(m_other.State()["configures"], std::to_string(std::atoi(configures.c_str()) + 1));
    EXPECT_NE(third.out.find(m_port + "\tdone-earlier\t\t\t\t\t0\n"), std::string::npos) << third.out;
    const std::vector<std::string> after = Lines(m_record);
    ASSERT_EQ(after.size(), 12u);
    for (std::size_t i = 9; i < after.size(); ++i) {
        if (Value(after[i], "line") == "2") {
            EXPECT_EQ(Value(after[i], "earlierRun"), firstRun) << after[i];
        }
    }
}

// --resume knows a row by its device and what it asks, not by the plan's
// name: a plan saved under another name, with another row edited, skips the
// device that is done with the same request and works the one whose request
// changed. Entries with nested values (as a later version may write) are
// read; lines that are no JSON are passed over with one notice. A UTF-8 name
// is kept as UTF-8, and bytes that are not UTF-8 keep their hex.
TEST_F(CliRecord, ResumeKnowsDevicesNotPlans)
{
    Reset(m_device, "name=Ger\xC3\xA4t\n");
    Reset(m_other, "name=Caf\xE9\n");
    // Saved by a spreadsheet, with a column of the bench's own.
    const std::string plan = WriteFile("first.csv", "Port; Auth; PIN; Serial\n" + m_port + "; ON; random:6; SN-1\n" +
                                                        m_other.PortName() + "; Off; ; SN-2\n");
    const ProcessResult run = Cli({"provision", plan, "--record", m_record, "--jobs", "1"});
    ASSERT_EQ(run.exitCode, 0) << run.err;
    EXPECT_NE(run.out.find("\treason\tSerial\n"), std::string::npos) << run.out;
    EXPECT_NE(run.out.find("\tSN-2\n"), std::string::npos) << run.out;
    const std::string pin = m_device.State()["pin"];
    std::vector<std::string> lines = Lines(m_record);
    ASSERT_EQ(lines.size(), 4u);
    EXPECT_EQ(Value(lines[0], "nameBefore"), "\"Ger\xC3\xA4t\"");
    EXPECT_EQ(Value(lines[0], "nameBeforeHex"), "");
    EXPECT_EQ(Value(lines[2], "nameBefore"), "\"Caf\xEF\xBF\xBD\"");
    EXPECT_EQ(Value(lines[2], "nameBeforeHex"), "\"436166e9\"");
    EXPECT_NE(lines[1].find(",\"columns\":{\"Serial\":\"SN-1\"}}"), std::string::npos) << lines[1];

    std::ofstream rewritten(m_record, std::ios::binary | std::ios::trunc);
    for (const std::string& line : lines)
        rewritten << "{\"later\":{\"kept\":[1,{\"a\":2}]}," << line.substr(1) << '\n';
    rewritten << "not an entry\n{\"cut short\n";
    rewritten.close();
    const std::string edited =
        WriteFile("renamed.csv", "port,auth,pin\n" + m_port + ",on,random:6\n" + m_other.PortName() + ",on,\n");
    m_device.MarkReceived();
    const ProcessResult resumed = Cli({"provision", edited, "--record", m_record, "--resume", "--jobs", "1"});
    EXPECT_EQ(resumed.exitCode, 0) << resumed.err;
    EXPECT_EQ(m_device.ReceivedSinceMark(), "");
    EXPECT_EQ(m_device.State()["pin"], pin);
    EXPECT_EQ(m_other.State()["auth"], "1");
    EXPECT_NE(resumed.out.find(m_port + "\tdone-earlier\t"), std::string::npos) << resumed.out;
    EXPECT_NE(resumed.err.find("has 2 lines that are no JSON object"), std::string::npos) << resumed.err;
    EXPECT_NE(resumed.err.find("--resume skipped 1 rows"), std::string::npos) << resumed.err;
    EXPECT_NE(resumed.err.find("worked again, as their request changed: 1 rows.\n"), std::string::npos) << resumed.err;

    // Without --resume every row is worked, the record's successes
    // notwithstanding.
    m_device.MarkReceived();
    const ProcessResult again = Cli({"provision", edited, "--record", m_record, "--jobs", "1"});
    EXPECT_EQ(again.exitCode, 0) << again.err;
    EXPECT_NE(m_device.ReceivedSinceMark(), "");
    EXPECT_EQ(again.out.find("done-earlier"), std::string::npos) << again.out;
    EXPECT_NE(resumed.err.find("line 3 (" + m_other.PortName() + "): run " + Value(lines[3], "run").substr(1, 16) +
                               " set this device up with another authentication or PIN rule."),
              std::string::npos)
        << resumed.err;
}

// A PIN drawn at random differs from every PIN the record holds as set,
// not only from those of this run: with every 4-digit PIN that does not end
// in 7 in the record, each device gets one that does.
TEST_F(CliRecord, ARandomPinIsNoneTheRecordHolds)
{
    {
        std::ofstream record(m_record, std::ios::binary);
        for (int pin = 0; pin < 10000; ++pin) {
            char digits[16];
            std::snprintf(digits, sizeof digits, "%04d", pin);
            if (pin % 10 != 7)
                record << "{\"command\":\"configure\",\"entry\":\"written\",\"pinSet\":\"" << digits << "\"}\n";
        }
    }
    Reset(m_other);
    const std::string plan =
        WriteFile("random4.csv", "port,auth,pin\n" + m_port + ",on,random:4\n" + m_other.PortName() + ",on,random:4\n");
    const ProcessResult run = Cli({"provision", plan, "--record", m_record});
    EXPECT_EQ(run.exitCode, 0) << run.err;
    for (BenchDevice* device : {&m_device, &m_other}) {
        const std::string pin = device->State()["pin"];
        ASSERT_EQ(pin.size(), 4u);
        EXPECT_EQ(pin.back(), '7') << pin;
    }
}

// Two programs append to one record at once: every line is one whole entry.
TEST_F(CliRecord, TwoProgramsAppendWholeEntries)
{
    const std::string planA = WriteFile("a.csv", "port,auth,pin\n" + m_port + ",on,\n");
    const std::string planB = WriteFile("b.csv", "port,auth,pin\n" + m_other.PortName() + ",on,\n");
    const BenchDevice::PortUse useA = m_device.BeginPortUse(), useB = m_other.BeginPortUse();
    ProcessResult runA, runB;
    std::thread a([&] {
        runA = RunProcess(BuildPath(TOLVANE_CLI_PATH), {"provision", planA, "--record", m_record}, 20000);
    });
    std::thread b([&] {
        runB = RunProcess(BuildPath(TOLVANE_CLI_PATH), {"provision", planB, "--record", m_record}, 20000);
    });
    a.join();
    b.join();
    EXPECT_TRUE(m_device.WaitForRelease(useA, 10000));
    EXPECT_TRUE(m_other.WaitForRelease(useB, 10000));
    EXPECT_EQ(runA.exitCode, 0) << runA.err;
    EXPECT_EQ(runB.exitCode, 0) << runB.err;
    const std::vector<std::string> lines = Lines(m_record);
    ASSERT_EQ(lines.size(), 4u);
    for (const std::string& line : lines) {
        EXPECT_EQ(line.rfind("{\"time\":\"", 0), 0u) << line;
        EXPECT_EQ(line.back(), '}') << line;
        EXPECT_EQ(std::count(line.begin(), line.end(), '{'), 1) << line;
    }
}

}  // namespace
