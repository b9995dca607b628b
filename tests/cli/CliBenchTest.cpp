// tolvane-cli run as a process against simulated devices, as a script runs
// it: what it prints on each stream, its exit code, and the bytes the device
// received. COM5, COM6 and COM7 hold devices; under Wine COM8 cannot be opened and
// COM9 cannot be set up.
#include "BenchDevice.h"
#include "BuildPath.h"
#include "RunProcess.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <fstream>

namespace {

constexpr char Query[] = "kwd38m4tQZXh7";
constexpr char Completed[] = "Configuration is completed.\n";

// The device every test starts from, plus the test's own faults.
void Reset(BenchDevice& device, const std::string& extra = "")
{
    device.SetScenario(BenchDevice::DefaultState + extra);
}

std::string CliPort(BenchDevice& device, int number)
{
#ifdef _WIN32
    static_cast<void>(device);
    return "COM" + std::to_string(number);
#else
    static_cast<void>(number);
    return device.PortPath();
#endif
}

// With the system's reason for each, which follows the window's text. Wine's
// words are its own, so there only their place is checked.
#ifdef _WIN32
const std::string CannotOpenPort = "COM8";
const std::string CannotSetUpPort = "COM9";
const std::string CannotOpenReason;
const std::string CannotSetUpReason;
#else
const std::string CannotOpenPort = std::string(std::getenv("TOLVANE_BENCH")) + "/no-such-port";
const std::string CannotSetUpPort = "/dev/null";
const std::string CannotOpenReason = "No such file or directory";
const std::string CannotSetUpReason = "Inappropriate ioctl for device";
#endif

ProcessResult Cli(const std::vector<std::string>& args)
{
    return RunProcess(BuildPath(TOLVANE_CLI_PATH), args, 20000);
}

class CliOnBench : public ::testing::Test {
protected:
    void SetUp() override
    {
        Reset(m_device);
        Reset(m_other);
        Reset(m_third);
        m_device.MarkReceived();
        m_other.MarkReceived();
        m_third.MarkReceived();
    }
    // Runs the program on COM5 and expects what a failing command leaves: no
    // result, exactly `message` on standard error, and `code`.
    void ExpectFailure(std::vector<std::string> args, int code, const std::string& message)
    {
        const ProcessResult run = Cli(args);
        EXPECT_EQ(run.exitCode, code) << message;
        EXPECT_EQ(run.out, "") << message;
        EXPECT_EQ(run.err, message + "\n");
    }

    // As ExpectFailure, with the system's `reason` for the failure on `port`
    // after the message (any reason, where `reason` is empty).
    void ExpectFailureWithReason(std::vector<std::string> args, int code, const std::string& message,
                                 const std::string& port, const std::string& reason)
    {
        const ProcessResult run = Cli(args);
        EXPECT_EQ(run.exitCode, code) << message;
        EXPECT_EQ(run.out, "") << message;
        const std::string start = message + " (" + port + ": ";
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

    BenchDevice m_device{5};
    BenchDevice m_other{6};
    BenchDevice m_third{7};
    std::string m_port = CliPort(m_device, 5);
};

TEST_F(CliOnBench, QueryPrintsTheDeviceAfterSendingOnlyTheAccessCode)
{
    const ProcessResult text = Cli({"query", m_port});
    EXPECT_EQ(text.exitCode, 0);
    EXPECT_EQ(text.out, "name: Tolvane Demo\nfirmware: 1.3\nauthentication: Enable\npin: 1234\n");
    EXPECT_EQ(text.err, "");
    EXPECT_EQ(m_device.ReceivedSinceMark(), Query);

    Reset(m_device, "crlf=1\nauth=0\nversion=1.1\nname=Caf\xE9 \"Lab\"\t\x1b[2J\n");
    const ProcessResult json = Cli({"query", m_port, "--json"});
    EXPECT_EQ(json.exitCode, 0);
    EXPECT_EQ(json.out,
              "{\"name\":\"Caf\\u00E9 \\\"Lab\\\"\\t\\u001B[2J\",\"firmware\":\"1.1\","
              "\"authentication\":\"Disable\",\"pin\":\"1234\"}\n");
    const ProcessResult escaped = Cli({"query", m_port});
    EXPECT_EQ(escaped.out.substr(0, escaped.out.find('\n')), "name: Caf\xE9 \"Lab\"\\x09\\x1B[2J");
}

TEST_F(CliOnBench, QueryFailuresHaveTheWindowsTextsAndTheirOwnCodes)
{
    ExpectFailureWithReason({"query", CannotOpenPort}, 3, "Cannot open the COM port.", CannotOpenPort,
                            CannotOpenReason);
    ExpectFailureWithReason({"query", CannotSetUpPort}, 4, "Fail to configure the COM port: 8 N 1 N.", CannotSetUpPort,
                            CannotSetUpReason);
    Reset(m_device, "echo=KWD38M4TQZXH7\n");
    ExpectFailure({"query", m_port}, 7, "Receive incorrect data from COM port.");
    Reset(m_device, "raw=kwd38m4tQZXh7 1.3 x\\n\n");
    ExpectFailure({"query", m_port}, 7, "Receive incorrect data from COM port.");
    Reset(m_device, "version=1.10\n");
    ExpectFailure({"query", m_port}, 8, "Unsupported firmware version: \"1.10\"");
#ifndef _WIN32
    // Five seconds of waiting; under Wine the scan below meets a silent
    // device through the same Win32 read time-out, only shorter.
    Reset(m_device, "mode=silent\n");
    ExpectFailure({"query", m_port}, 6, "Reading COM port timeout.");
#endif
}

TEST_F(CliOnBench, ConfigureWritesTheWindowsCommandAndTheDeviceKeepsIt)
{
    const int before = Configures();
    const ProcessResult keepPin = Cli({"configure", m_port, "--auth", "off"});
    EXPECT_EQ(keepPin.exitCode, 0);
    EXPECT_EQ(keepPin.out, Completed);
    EXPECT_EQ(keepPin.err, "");
    EXPECT_TRUE(WaitForConfigures(before + 1));
    EXPECT_EQ(m_device.ReceivedSinceMark(), std::string(Query) + "kwd38m4tQZXh7 0 1234 ");
    EXPECT_EQ(m_device.State()["auth"], "0");

    m_device.MarkReceived();
    const ProcessResult newPin = Cli({"configure", m_port, "--auth=on", "--pin=A1b2-C3d4!~9"});
    EXPECT_EQ(newPin.exitCode, 0);
    EXPECT_EQ(newPin.out, Completed);
    EXPECT_TRUE(WaitForConfigures(before + 2));
    EXPECT_EQ(m_device.ReceivedSinceMark(), std::string(Query) + "kwd38m4tQZXh7 1 A1b2-C3d4!~9 ");
    EXPECT_EQ(m_device.State()["pin"], "A1b2-C3d4!~9");
    EXPECT_EQ(m_device.State()["auth"], "1");
}

TEST_F(CliOnBench, ConfigureWritesNothingAfterARefusalOrABadRead)
{
    struct Case {
        std::string scenario;
        std::vector<std::string> options;
        int code;
        std::string message;
    };
    const std::vector<Case> cases = {
        {"name=ABCDEFGHIJKLMNOPQRSTU\n", {}, 9, "Invalid new device name. The maximum length is 20 characters."},
        {"", {"--pin", "1234567890123"}, 10, "Invalid new pin code. The maximum length is 12 digits."},
        {"pin=123456789012345\n", {}, 10, "Invalid new pin code. The maximum length is 12 digits."},
        {"", {"--pin", "12 34"}, 11, "Invalid new pin code. Spaces are not allowed."},
        {"echo=kwd38m4tQZXh8\n", {}, 7, "Receive incorrect data from COM port."},
        {"version=1.4\n", {}, 8, "Unsupported firmware version: \"1.4\""},
    };
    const int before = Configures();
    for (const Case& refused : cases) {
        Reset(m_device, refused.scenario);
        m_device.MarkReceived();
        std::vector<std::string> args = {"configure", m_port, "--auth", "off"};
        args.insert(args.end(), refused.options.begin(), refused.options.end());
        ExpectFailure(args, refused.code, refused.message);
        // A PIN on the command line is refused before the port is opened.
        EXPECT_EQ(m_device.ReceivedSinceMark(), refused.options.empty() ? Query : "") << refused.message;
    }
    EXPECT_EQ(Configures(), before);
    ExpectFailure({"configure", CannotSetUpPort, "--auth", "on", "--pin", "12 34"}, 11,
                  "Invalid new pin code. Spaces are not allowed.");

    // Exactly 20 characters is a name the window accepts.
    Reset(m_device, "name=ABCDEFGHIJKLMNOPQRST\n");
    EXPECT_EQ(Cli({"configure", m_port, "--auth", "on"}).exitCode, 0);
}

TEST_F(CliOnBench, ScanFindsThePortsAndProbesThemBriefly)
{
    const ProcessResult listed = Cli({"scan"});
    EXPECT_EQ(listed.exitCode, 0);
    EXPECT_EQ(listed.err, "");
#ifdef _WIN32
    // The ports Wine maps in dosdevices, found without a device being asked.
    EXPECT_NE(listed.out.find("COM5\tother\nCOM6\tother\n"), std::string::npos) << listed.out;
    EXPECT_EQ(m_device.ReceivedSinceMark(), "");
#endif

    Reset(m_other, "mode=silent\nname=Other\n");
    const auto start = std::chrono::steady_clock::now();
    const ProcessResult probed = Cli({"scan", "--probe", m_port, CliPort(m_other, 6), CannotOpenPort});
    const auto took = std::chrono::steady_clock::now() - start;
    EXPECT_EQ(probed.exitCode, 0);
    EXPECT_EQ(probed.out, m_port + "\tdevice\t1.3\tTolvane Demo\tother\n" + CliPort(m_other, 6) +
                              "\tno-answer\t\t\tother\n" + CannotOpenPort + "\tcannot-open\t\t\tother\n");
    EXPECT_EQ(probed.err, "");
    EXPECT_LT(took, std::chrono::seconds(4));

    const ProcessResult none = Cli({"scan", "--probe", "--json", CliPort(m_other, 6)});
    EXPECT_EQ(none.exitCode, 14);
    EXPECT_EQ(none.out,
              "[\n{\"port\":\"" + CliPort(m_other, 6) + "\",\"status\":\"no-answer\",\"kind\":\"other\"}\n]\n");
    EXPECT_EQ(none.err, "No device answered.\n");
}

TEST_F(CliOnBench, VerifyReadsTheDeviceAgainAndNeverWritesTwice)
{
    const ProcessResult verified = Cli({"configure", m_port, "--auth", "off", "--pin", "5678", "--verify"});
    EXPECT_EQ(verified.exitCode, 0);
    EXPECT_EQ(verified.out, std::string(Completed) + "The device reports the requested settings.\n");
    EXPECT_EQ(verified.err, "");
    EXPECT_EQ(m_device.ReceivedSinceMark(), std::string(Query) + "kwd38m4tQZXh7 0 5678 " + Query);

    // A device that keeps answering with its old settings, as one does that
    // takes them only after a reset.
    Reset(m_device, "raw=kwd38m4tQZXh7 1.3 1 1234 Tolvane Demo\\n\n");
    m_device.MarkReceived();
    const ProcessResult stale =
        Cli({"configure", m_port, "--auth", "off", "--pin", "5678", "--verify", "--verify-wait", "50"});
    EXPECT_EQ(stale.exitCode, 15);
    EXPECT_EQ(stale.out, Completed);
    EXPECT_EQ(stale.err,
              "Not verified: The device reports authentication Enable and PIN 1234. "
              "Some devices take new settings only after a reset.\n");
    EXPECT_EQ(m_device.ReceivedSinceMark(), std::string(Query) + "kwd38m4tQZXh7 0 5678 " + Query);
}

TEST_F(CliOnBench, APlanWithABadRowOpensNoPort)
{
    // A byte-order mark and CRLF line ends, as a spreadsheet saves a plan.
    const std::string plan = WriteFile("bad-plan.csv", "\xEF\xBB\xBFport,auth,pin\r\n" + m_port + ",on,5678\r\n" +
                                                           CliPort(m_third, 7) + ",maybe,\r\n");
    const ProcessResult run = Cli({"provision", plan});
    EXPECT_EQ(run.exitCode, 17);
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(run.err, plan + ", line 3: auth takes on or off, not \"maybe\".\n");
    EXPECT_EQ(m_device.ReceivedSinceMark(), "");
    EXPECT_EQ(m_third.ReceivedSinceMark(), "");
}

TEST_F(CliOnBench, ASilentPortFailsOnlyItsOwnRowOfAPlan)
{
    Reset(m_other, "mode=silent\n");
    Reset(m_third, "auth=0\nname=Bench Three\n");
    const std::string plan = WriteFile("plan.csv", std::string("port,auth,pin\n") + m_port + ",off,5678\n" +
                                                       CliPort(m_other, 6) + ",on,\n" + CliPort(m_third, 7) + ",on,\n");
    const ProcessResult run = Cli({"provision", plan, "--verify"});
    EXPECT_EQ(run.exitCode, 16);
    EXPECT_EQ(run.out, m_port + "\tverified\t1.3\tTolvane Demo\tEnable\tDisable\t0\n" + CliPort(m_other, 6) +
                           "\tno-answer\t\t\t\t\t6\n" + CliPort(m_third, 7) +
                           "\tverified\t1.3\tBench Three\tDisable\tEnable\t0\n");
    EXPECT_EQ(run.err, "1 of 3 ports were not provisioned.\n");
    EXPECT_EQ(m_device.State()["pin"], "5678");
    EXPECT_EQ(m_third.State()["auth"], "1");
    EXPECT_EQ(m_third.State()["pin"], "1234");
    EXPECT_EQ(m_other.ReceivedSinceMark(), Query);
}

// The hex and text columns of a transcript line for `bytes`.
std::string TranscribedBytes(const std::string& bytes, const std::string& text)
{
    std::string hex;
    for (unsigned char byte : bytes) {
        static const char Digits[] = "0123456789ABCDEF";
        hex += std::string(hex.empty() ? "" : " ") + Digits[byte >> 4] + Digits[byte & 0x0F];
    }
    return hex + "\t" + text;
}

TEST_F(CliOnBench, ATranscriptHoldsEveryByteAndEveryFailureAndChangesNothing)
{
    const std::string transcript = BenchDevice::BenchFolder() + "/support.log";
    const ProcessResult query = Cli({"query", m_port, "--transcript", transcript});
    EXPECT_EQ(query.exitCode, 0);
    EXPECT_EQ(m_device.ReceivedSinceMark(), Query);
    const ProcessResult probe = Cli({"scan", "--probe", CannotOpenPort, "--transcript", transcript});
    EXPECT_EQ(probe.exitCode, 14);

    std::ifstream file(transcript, std::ios::binary);
    std::vector<std::vector<std::string>> lines;
    for (std::string line; std::getline(file, line);) {
        std::vector<std::string> fields;
        std::size_t start = 0;
        for (std::size_t tab; (tab = line.find('\t', start)) != std::string::npos; start = tab + 1)
            fields.push_back(line.substr(start, tab - start));
        fields.push_back(line.substr(start));
        lines.push_back(fields);
    }
    ASSERT_EQ(lines.size(), 3u);
    for (const auto& fields : lines) {
        ASSERT_GE(fields.size(), 4u);
        EXPECT_EQ(fields[0].find_first_not_of("0123456789"), std::string::npos) << fields[0];
    }
    EXPECT_EQ(lines[0][1] + lines[0][2] + "\t" + lines[0][3] + "\t" + lines[0][4],
              m_port + ">\t" + TranscribedBytes(Query, Query));
    const std::string reply = "kwd38m4tQZXh7 1.3 1 1234 Tolvane Demo\n";
    EXPECT_EQ(lines[1][1] + lines[1][2] + "\t" + lines[1][3] + "\t" + lines[1][4],
              m_port + "<\t" + TranscribedBytes(reply, "kwd38m4tQZXh7 1.3 1 1234 Tolvane Demo\\x0A"));
    EXPECT_LE(std::stoll(lines[0][0]), std::stoll(lines[1][0]));
    EXPECT_EQ(lines[2][1] + lines[2][2], CannotOpenPort + "!");
    EXPECT_EQ(lines[2][3].rfind("open: failed (", 0), 0u) << lines[2][3];

    const ProcessResult directory = Cli({"query", m_port, "--transcript", BenchDevice::BenchFolder()});
    EXPECT_EQ(directory.exitCode, 18);
    EXPECT_EQ(directory.err.rfind("Cannot open the transcript " + BenchDevice::BenchFolder() + ": ", 0), 0u)
        << directory.err;
    EXPECT_EQ(m_device.ReceivedSinceMark(), Query);
}

TEST_F(CliOnBench, BadCommandLinesTouchNoDevice)
{
    const ProcessResult run = Cli({"configure", m_port, "--auth", "maybe"});
    EXPECT_EQ(run.exitCode, 2);
    EXPECT_EQ(run.out, "");
    EXPECT_NE(run.err.find("--auth takes on or off"), std::string::npos);
    EXPECT_EQ(m_device.ReceivedSinceMark(), "");
}

}  // namespace
