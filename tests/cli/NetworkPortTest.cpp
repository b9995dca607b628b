// tolvane-cli over the network, as a process, against a real ser2net in
// front of the simulated devices behind COM5 (raw TCP) and COM6 (RFC 2217),
// and against servers that refuse or never speak. ser2net's own line is 9600
// baud: only a client that sets the line reaches the device at 115200.
#include "BenchDevice.h"
#include "RunProcess.h"
#include "Ser2netServer.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>

#include <sys/socket.h>
#include <unistd.h>

namespace {

constexpr char Query[] = "kwd38m4tQZXh7";
constexpr char DeviceText[] = "name: Tolvane Demo\nfirmware: 1.3\nauthentication: Enable\npin: 1234\n";
constexpr char AsSet[] = "115200 8N1 none";
constexpr char AsServerHasIt[] = "9600 8N1 none";

ProcessResult Cli(const std::vector<std::string>& args)
{
    return RunProcess(TOLVANE_CLI_PATH, args, 20000);
}

std::string ReadFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::size_t Count(const std::string& text, char byte)
{
    std::size_t count = 0;
    for (char c : text)
        count += c == byte ? 1 : 0;
    return count;
}

class NetworkPorts : public ::testing::Test {
protected:
    void SetUp() override
    {
        for (BenchDevice* device : {&m_raw, &m_telnet}) {
            device->SetScenario(BenchDevice::DefaultState);
            device->MarkReceived();
        }
    }

    BenchDevice m_raw{5};
    BenchDevice m_telnet{6};
    Ser2netServer m_rawServer{m_raw.PortPath(), Ser2netServer::RawTcp};
    Ser2netServer m_telnetServer{m_telnet.PortPath(), Ser2netServer::Rfc2217};
};

// A file of this run, in the bench's folder (with-bench removes it): the
// shared temporary folder may hold the same name from another checkout's
// run of these tests at the same time.
std::string TempFile(const std::string& name)
{
    return BenchDevice::BenchFolder() + "/" + name;
}

TEST_F(NetworkPorts, QueryOverRawTcpKeepsTheServersLine)
{
    const ProcessResult run = Cli({"query", m_rawServer.Address()});
    EXPECT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(run.out, DeviceText);
    EXPECT_EQ(m_raw.State()["query-line"], AsServerHasIt);
    EXPECT_EQ(m_raw.ReceivedSinceMark(), Query);
}

// The transcript holds the device's bytes, none of Telnet's.
TEST_F(NetworkPorts, QueryOverRfc2217SetsTheLineBeforeTheQueryArrives)
{
    const std::string transcript = TempFile("rfc2217-query.log");
    std::remove(transcript.c_str());
    const ProcessResult run = Cli({"query", m_telnetServer.Address(), "--transcript", transcript});
    EXPECT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(run.out, DeviceText);
    EXPECT_EQ(m_telnet.State()["query-line"], AsSet);
    EXPECT_EQ(m_telnet.ReceivedSinceMark(), Query);
    const std::string log = ReadFile(transcript);
    EXPECT_NE(log.find(m_telnetServer.Address() + "\t>\t6B 77 64 33 38 6D 34 74 51 5A 58 68 37\t"), std::string::npos)
        << log;
    EXPECT_NE(log.find("kwd38m4tQZXh7 1.3 1 1234 Tolvane Demo\\x0A"), std::string::npos) << log;
    EXPECT_EQ(log.find("FF"), std::string::npos) << log;
}

TEST_F(NetworkPorts, ConfigureSendsAPinByteFfOnceThroughTelnet)
{
    const std::string pin =
        "7\xff"
        "8";
    const ProcessResult run = Cli({"configure", m_telnetServer.Address(), "--auth", "off", "--pin", pin, "--verify"});
    EXPECT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(run.out, "Configuration is completed.\nThe device reports the requested settings.\n");
    const std::string received = m_telnet.ReceivedSinceMark();
    EXPECT_EQ(received, std::string(Query) + Query + " 0 " + pin + " " + Query);
    EXPECT_EQ(Count(received, '\xff'), 1u);
    EXPECT_EQ(m_telnet.State()["pin"], pin);
}

TEST_F(NetworkPorts, NameWithByteFfComesBackAsOneByte)
{
    m_telnet.SetScenario(std::string(BenchDevice::DefaultState) +
                         "name=Demo\xff"
                         "9\n");
    const ProcessResult run = Cli({"query", m_telnetServer.Address(), "--json"});
    EXPECT_EQ(run.exitCode, 0) << run.err;
    EXPECT_NE(run.out.find("\"name\":\"Demo\\u00FF9"), std::string::npos) << run.out;
}

TEST_F(NetworkPorts, ScanProbesAddressesAndProvisionTakesThem)
{
    const ProcessResult scan = Cli({"scan", "--probe", m_rawServer.Address(), m_telnetServer.Address()});
    EXPECT_EQ(scan.exitCode, 0) << scan.err;
    EXPECT_EQ(scan.out, m_rawServer.Address() + "\tdevice\t1.3\tTolvane Demo\tnetwork\n" + m_telnetServer.Address() +
                            "\tdevice\t1.3\tTolvane Demo\tnetwork\n");

    const std::string plan = TempFile("network-plan.csv");
    std::ofstream(plan) << "port,auth,pin\n"
                        << m_rawServer.Address() << ",off,4321\n"
                        << m_telnetServer.Address() << ",on,\n";
    const ProcessResult provision = Cli({"provision", plan, "--verify"});
    EXPECT_EQ(provision.exitCode, 0) << provision.err;
    EXPECT_EQ(m_raw.State()["pin"], "4321");
    EXPECT_NE(m_telnet.ReceivedSinceMark().find(std::string(Query) + " 1 1234 "), std::string::npos);
}

// Two spellings of one address are one port: refused before anything opens.
TEST(NetworkPlan, NamesOneAddressOnce)
{
    const std::string plan = TempFile("twice-plan.csv");
    std::ofstream(plan) << "port,auth,pin\nrfc2217://Bench-A:2217,off,\nRFC2217://bench-a:02217,on,\n";
    const ProcessResult run = Cli({"provision", plan});
    EXPECT_EQ(run.exitCode, 17);
    EXPECT_NE(run.err.find("is named twice"), std::string::npos) << run.err;
}

TEST(SilentServer, FailsTheSetUpOverRfc2217AndTimesOutOverRawTcp)
{
    SilentServer server;
    const std::string host = "127.0.0.1:" + std::to_string(server.TcpPort());
    const auto start = std::chrono::steady_clock::now();
    const std::string transcript = TempFile("silent-server.log");
    std::remove(transcript.c_str());
    const ProcessResult telnet = Cli({"query", "rfc2217://" + host, "--transcript", transcript});
    const auto took = std::chrono::steady_clock::now() - start;
    EXPECT_EQ(telnet.exitCode, 4);
    EXPECT_EQ(telnet.err, "tolvane-cli: Fail to configure the COM port: 8 N 1 N. (rfc2217://" + host +
                              ": the server did not acknowledge SET-BAUDRATE within 5 s)\n");
    EXPECT_LT(took, std::chrono::seconds(7));
    EXPECT_NE(ReadFile(transcript)
                  .find("rfc2217://" + host +
                        "\t!\tset-up: failed (the server did not acknowledge SET-BAUDRATE within 5 s)\n"),
              std::string::npos)
        << ReadFile(transcript);

    const ProcessResult raw = Cli({"query", "socket://" + host});
    EXPECT_EQ(raw.exitCode, 6);
    EXPECT_EQ(raw.err,
              "tolvane-cli: Reading COM port timeout.\n"
              "hint: reset the device, check that it is switched on and connected, and try again.\n");
}

// A probe waits about a second per port, set-up included.
TEST(SilentServer, CostsAProbeAboutASecond)
{
    SilentServer server;
    const std::string host = "127.0.0.1:" + std::to_string(server.TcpPort());
    const auto start = std::chrono::steady_clock::now();
    const ProcessResult run = Cli({"scan", "--probe", "rfc2217://" + host, "socket://" + host});
    const auto took = std::chrono::steady_clock::now() - start;
    EXPECT_EQ(run.exitCode, 14);
    EXPECT_EQ(run.out,
              "rfc2217://" + host + "\tsetup-failed\t\t\tnetwork\nsocket://" + host + "\tno-answer\t\t\tnetwork\n");
    EXPECT_LT(took, std::chrono::milliseconds(2500));
}

TEST(RefusedConnection, CannotOpenWithTheSystemsReason)
{
    const std::string address = "socket://127.0.0.1:" + std::to_string(FreeTcpPort());
    const ProcessResult run = Cli({"query", address});
    EXPECT_EQ(run.exitCode, 3);
    EXPECT_EQ(run.err, "tolvane-cli: Cannot open the COM port. (" + address + ": Connection refused)\n");
}

// Where the kernel has no Bluetooth sockets, bt:// says so; elsewhere the
// device is out of reach. Either way the port cannot be opened.
TEST(Bluetooth, WithoutBluetoothCannotOpenWithTheSystemsReason)
{
    const ProcessResult run = Cli({"query", "bt://00:11:22:33:44:55?channel=1"});
    EXPECT_EQ(run.exitCode, 3);
    EXPECT_EQ(run.err.rfind("tolvane-cli: Cannot open the COM port. (bt://00:11:22:33:44:55?channel=1: ", 0), 0u)
        << run.err;
    const int probe = socket(AF_BLUETOOTH, SOCK_STREAM, 3 /* BTPROTO_RFCOMM */);
    const bool noBluetooth = probe < 0 && errno == EAFNOSUPPORT;
    if (probe >= 0)
        close(probe);
    if (noBluetooth) {
        EXPECT_NE(run.err.find("Address family not supported by protocol)\nhint: this computer has no Bluetooth"),
                  std::string::npos)
            << run.err;
    }
}

// tolvane-cli.exe under Wine through Winsock, when the Windows tests run
// this: TOLVANE_WINDOWS_CLI names it, tools/bench/wine-run starts it.
TEST_F(NetworkPorts, WindowsProgramQueriesOverRfc2217UnderWine)
{
    const char* program = std::getenv("TOLVANE_WINDOWS_CLI");
    const char* wineRun = std::getenv("TOLVANE_WINE_RUN");
    if (program == nullptr || wineRun == nullptr)
        GTEST_SKIP() << "runs with the Windows tests (TOLVANE_WINDOWS_CLI, TOLVANE_WINE_RUN)";
    const ProcessResult run = RunProcess(wineRun, {program, "query", m_telnetServer.Address()}, 60000);
    EXPECT_EQ(run.exitCode, 0) << run.out << run.err;
    std::string out;  // a Windows console program's lines end in CR LF
    for (char c : run.out)
        out += c == '\r' ? "" : std::string(1, c);
    EXPECT_NE(out.find(DeviceText), std::string::npos) << run.out;
    EXPECT_EQ(m_telnet.State()["query-line"], AsSet);
}

}  // namespace
