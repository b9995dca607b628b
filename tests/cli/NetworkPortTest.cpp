// tolvane-cli over the network, as a process, against a real ser2net in
// front of the simulated devices behind COM5 (raw TCP) and COM6 (RFC 2217),
// and against servers that refuse or never speak. ser2net's own line is 9600
// baud: only a client that sets the line reaches the device at 115200.
#include "BenchDevice.h"
#include "Loopback.h"
#include "NetworkCli.h"
#include "ScriptedServer.h"
#include "Ser2netServer.h"
#include "TelnetBytes.h"
#include "TempFolder.h"
#include "serial/UniqueFd.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <thread>

#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

constexpr char AsServerHasIt[] = "9600 8N1 none";

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
    EXPECT_EQ(m_telnet.State()["query-line"], LineAsSet);
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
    EXPECT_NE(run.out.find("\"name\":\"Demo\xEF\xBF\xBD"
                           "9\",\"nameHex\":\"44656d6fff39\""),
              std::string::npos)
        << run.out;
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
    // One warning a run, for its first port without TLS, not one a row.
    EXPECT_EQ(scan.err, ClearTextWarning(m_rawServer.Address()));
    EXPECT_EQ(provision.err,
              ClearTextWarning(m_rawServer.Address()) + "tolvane-cli: 2 of 2 ports were provisioned, 0 were not.\n");
    EXPECT_EQ(m_raw.State()["pin"], "4321");
    EXPECT_NE(m_telnet.ReceivedSinceMark().find(std::string(Query) + " 1 1234 "), std::string::npos);
}

// pyserial's RFC 2217 server (python3-serial) keeps its serial port open
// between clients: a reply that came after its client gave up waits there
// for the next one, and comes after that one's set-up. The next client has
// the server purge it, and reads the device's fresh answer, never the old
// one.
TEST(PyserialServer, AReplyLeftFromAnEarlierClientIsNeverTheAnswer)
{
    BenchDevice device{6};
    device.SetScenario(BenchDevice::DefaultState);
    const unsigned short tcpPort = FreeTcpPort();
    const TempFolder folder("pyserial");
    struct Server {
        pid_t pid;
        ~Server() { StopServer(pid); }
    } const server{StartListeningServer("/usr/bin/python3",
                                        {TOLVANE_PYSERIAL_SERVER, device.PortPath(), std::to_string(tcpPort)}, tcpPort,
                                        folder.File("server.log"))};
    const std::string address = "rfc2217://127.0.0.1:" + std::to_string(tcpPort);
    const ProcessResult plain = Cli({"query", address});
    EXPECT_EQ(plain.exitCode, 0) << plain.err;
    EXPECT_EQ(plain.out, DeviceText);

    device.SetScenario(std::string(BenchDevice::DefaultState) + "delay=5500\n");
    const ProcessResult gaveUp = Cli({"query", address});
    EXPECT_NE(gaveUp.exitCode, 0);
    device.SetScenario(std::string(BenchDevice::DefaultState) + "pin=5678\n");
    std::this_thread::sleep_for(std::chrono::milliseconds(700));  // the late reply waits in the server
    const ProcessResult next = Cli({"query", address});
    EXPECT_EQ(next.exitCode, 0) << next.err;
    EXPECT_NE(next.out.find("pin: 5678\n"), std::string::npos) << next.out;
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
    EXPECT_EQ(telnet.err, ClearTextWarning("rfc2217://" + host) +
                              "tolvane-cli: Fail to configure the COM port: 8 N 1 N. (rfc2217://" + host +
                              ": the server did not acknowledge SET-BAUDRATE in time)\n");
    EXPECT_LT(took, std::chrono::milliseconds(6000));
    EXPECT_NE(
        ReadFile(transcript)
            .find("rfc2217://" + host + "\t!\tset-up: failed (the server did not acknowledge SET-BAUDRATE in time)\n"),
        std::string::npos)
        << ReadFile(transcript);

    const ProcessResult raw = Cli({"query", "socket://" + host});
    EXPECT_EQ(raw.exitCode, 6);
    EXPECT_EQ(raw.err, ClearTextWarning("socket://" + host) +
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
              "rfc2217://" + host +
                  "\tsetup-failed\t\t\tnetwork\t\t\t\tthe server did not acknowledge SET-BAUDRATE in time\nsocket://" +
                  host + "\tno-answer\t\t\tnetwork\n");
    EXPECT_LT(took, std::chrono::milliseconds(2500));
}

TEST(RefusedConnection, CannotOpenWithTheSystemsReason)
{
    const std::string address = "socket://127.0.0.1:" + std::to_string(FreeTcpPort());
    const ProcessResult run = Cli({"query", address});
    EXPECT_EQ(run.exitCode, 3);
    EXPECT_EQ(run.err, ClearTextWarning(address) + "tolvane-cli: Cannot open the COM port. (" + address +
                           ": Connection refused)\n");
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

// Servers that misbehave, scripted: what the client may take as the
// device's answer, what it may write, and how each ends. ADDR in a row
// stands for the server's address.
const std::string Stale = std::string(Query) + " 1.3 1 9999 Stale Device\n";
const std::string Fresh = std::string(Query) + " 1.3 0 1234 Fresh Device\n";
const std::string FreshText = "name: Fresh Device\nfirmware: 1.3\nauthentication: Disable\npin: 1234\n";
// The last of the client's set-up requests: PURGE-DATA, the server's
// buffer of what the device sent.
const std::string RequestEnd = Iac + "\xfa\x2c\x0c\x01" + Iac + "\xf0";

std::string WithAddress(std::string text, const std::string& address)
{
    for (std::size_t at = text.find("ADDR"); at != std::string::npos; at = text.find("ADDR", at + address.size()))
        text.replace(at, 4, address);
    return text;
}

struct ServerRow {
    std::string finding;
    std::string scheme;
    std::vector<ServerStep> script;
    std::vector<std::string> args;
    int code;
    std::string out;
    std::string err;
    std::string received;    // by the server, after an RFC 2217 client's set-up requests
    std::string transcript;  // a line the transcript holds, or "" for none kept
};

// The words for a plain connection the server closed without a byte, after
// the client's: what a TLS server does with bytes that are no TLS.
const std::string SilentClose =
    "the server closed the connection without a word; a server that speaks TLS does so, and is reached with "
    "socket+tls:// or rfc2217+tls://";

std::string HostileTranscript()
{
    return TempFile("hostile-server.log");
}

std::vector<ServerRow> HostileServerRows()
{
    const std::string transcript = HostileTranscript();
    const std::vector<std::string> configure = {"configure", "ADDR", "--auth", "on", "--pin", "4321"};
    const std::vector<ServerRow> rows = {
        {"1: a line during the negotiation is no answer",
         "rfc2217",
         {Expect(RequestEnd), Send(Stale + Acks()), Expect(Query), Send(Fresh)},
         {"query", "ADDR", "--transcript", transcript},
         0,
         FreshText,
         "",
         Query,
         "\tADDR\tx\t6B 77 64 33 38 6D 34 74 51 5A 58 68 37 20 31 2E 33 20 31 20 39 39 39 39"},
        {"1: a line sent at once on connection is no answer",
         "socket",
         {Send(Stale), Expect(Query), Send(Fresh)},
         {"query", "ADDR", "--transcript", transcript},
         0,
         FreshText,
         "",
         Query,
         "\tADDR\tx\t6B 77 64 33 38 6D 34 74 51 5A 58 68 37 20 31 2E 33 20 31 20 39 39 39 39"},
        {"3: closed after the answer, before the configure",
         "socket",
         {Expect(Query), SendAndClose(Fresh)},
         configure,
         12,
         "",
         "tolvane-cli: Failed to write to remote device. (ADDR: The far side closed the connection)\n",
         Query,
         ""},
        {"3: closed after the answer, before the configure, over Telnet",
         "rfc2217",
         {Expect(RequestEnd), Send(Acks()), Expect(Query), SendAndClose(Fresh)},
         configure,
         12,
         "",
         "tolvane-cli: Failed to write to remote device. (ADDR: The far side closed the connection)\n",
         Query,
         ""},
        {"4, 12: closed before the answer, without a word, as a TLS server does",
         "socket",
         {Expect(Query), SendAndClose("")},
         {"query", "ADDR", "--transcript", transcript},
         3,
         "",
         "tolvane-cli: Cannot open the COM port. (ADDR: " + SilentClose + ")\n",
         Query,
         "\tADDR\t!\tread: failed (" + SilentClose + ")\n"},
        {"12: a server that refuses with words",
         "socket",
         {SendAndClose("Port already in use\r\n")},
         {"query", "ADDR"},
         3,
         "",
         "tolvane-cli: Cannot open the COM port. (ADDR: Port already in use)\n",
         "",
         ""},
        {"12: a Telnet server that refuses with words, escaped",
         "rfc2217",
         {Expect(RequestEnd), SendAndClose(Will + Sga + "Port \x1b[2J in use\r\n")},
         {"query", "ADDR"},
         3,
         "",
         "tolvane-cli: Cannot open the COM port. (ADDR: Port \\x1B[2J in use)\n",
         "",
         ""},
        {"15: a server that refuses BINARY",
         "rfc2217",
         {Expect(RequestEnd), Send(Wont + Binary + Acks())},
         {"query", "ADDR"},
         4,
         "",
         "tolvane-cli: Fail to configure the COM port: 8 N 1 N. (ADDR: the server refuses BINARY)\n",
         "",
         ""},
    };
    return rows;
}

// tolvane-cli, or with `wine` tolvane-cli.exe under Wine (both outputs in
// `out`).
ProcessResult CliOrWindowsCli(const std::vector<std::string>& args, bool wine)
{
    return wine ? WindowsCli(args) : Cli(args);
}

// Under Wine: the RFC 2217 rows that keep no transcript (a Windows program
// names files otherwise), through Winsock.
void RunHostileServerRows(bool wine)
{
    for (const ServerRow& row : HostileServerRows()) {
        if (wine && (row.scheme != "rfc2217" || (row.args.size() > 2 && row.args[2] == "--transcript")))
            continue;
        SCOPED_TRACE(row.finding);
        ScriptedServer server(row.script);
        const std::string address = row.scheme + "://" + server.HostAndPort();
        std::vector<std::string> args;
        for (const std::string& arg : row.args)
            args.push_back(WithAddress(arg, address));
        std::remove(HostileTranscript().c_str());
        const auto start = std::chrono::steady_clock::now();
        const ProcessResult run = CliOrWindowsCli(args, wine);
        EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(wine ? 10 : 3));
        EXPECT_EQ(run.exitCode, row.code);
        if (wine) {  // both outputs as one
            EXPECT_EQ(run.out, row.out + ClearTextWarning(address) + WithAddress(row.err, address));
        } else {
            EXPECT_EQ(run.out, row.out);
            EXPECT_EQ(run.err, ClearTextWarning(address) + WithAddress(row.err, address));
        }
        std::string received = server.Received();
        if (row.scheme == "rfc2217" && received.find(RequestEnd) != std::string::npos)
            received.erase(0, received.find(RequestEnd) + RequestEnd.size());
        EXPECT_EQ(received, row.received);
        if (!row.transcript.empty()) {
            EXPECT_NE(ReadFile(HostileTranscript()).find(WithAddress(row.transcript, address)), std::string::npos)
                << ReadFile(HostileTranscript());
        }
    }
}

TEST(HostileServer, OnlyTheAnswerToThisQueryIsTakenAndNothingIsWrittenBlind)
{
    RunHostileServerRows(false);
}

// Run by the Windows tests: TOLVANE_WINDOWS_CLI names tolvane-cli.exe.
TEST(HostileServer, WindowsProgramTakesOnlyTheAnswerToThisQueryUnderWine)
{
    if (!WindowsCliGiven())
        GTEST_SKIP() << "runs with the Windows tests (TOLVANE_WINDOWS_CLI, TOLVANE_WINE_RUN)";
    RunHostileServerRows(true);
}

// One server port named two ways is one port: a plan that names it twice is
// refused before anything is opened, and a probe opens it once.
TEST(HostileServer, OneEndpointHoweverItIsSpelt)
{
    ScriptedServer server({Expect(Query), Send(Fresh)});
    const std::string port = std::to_string(server.TcpPort());
    const std::string plan = TempFile("one-endpoint.csv");
    std::ofstream(plan) << "port,auth,pin\nrfc2217://127.0.0.1:" << port << ",off,\nrfc2217://localhost:" << port
                        << ",on,\n";
    const ProcessResult provision = Cli({"provision", plan});
    EXPECT_EQ(provision.exitCode, 17);
    EXPECT_EQ(provision.err, "tolvane-cli: " + plan + ", line 3: the port \"rfc2217://localhost:" + port +
                                 "\" reaches the same port as \"rfc2217://127.0.0.1:" + port + "\" on line 2.\n");
    EXPECT_EQ(server.Connections(), 0);

    ScriptedServer server6({Expect(Query), Send(Fresh)}, true);
    const std::string port6 = std::to_string(server6.TcpPort());
    const std::string short6 = "socket://[::1]:" + port6, long6 = "socket://[0:0:0:0:0:0:0:1]:" + port6;
    const ProcessResult scan = Cli({"scan", "--probe", short6, long6});
    EXPECT_EQ(scan.exitCode, 0) << scan.err;
    EXPECT_EQ(scan.out,
              short6 + "\tdevice\t1.3\tFresh Device\tnetwork\n" + long6 + "\tdevice\t1.3\tFresh Device\tnetwork\n");
    EXPECT_EQ(server6.Connections(), 1);
}

// ser2net's own words: a banner is no answer; a missing device or a port
// another client holds could not be opened, and says why.
TEST(Ser2netRefusals, ABannerIsNoAnswerAndARefusalIsTheReason)
{
    BenchDevice device(5);
    device.SetScenario(BenchDevice::DefaultState);
    Ser2netServer banner(device.PortPath(), Ser2netServer::RawTcp, "Welcome to bench-a\\r\\n");
    const ProcessResult greeted = Cli({"query", banner.Address()});
    EXPECT_EQ(greeted.exitCode, 0) << greeted.err;
    EXPECT_EQ(greeted.out, DeviceText);

    for (Ser2netServer::Accepter accepter : {Ser2netServer::RawTcp, Ser2netServer::Rfc2217}) {
        Ser2netServer missing("/dev/tolvane-missing-device", accepter);
        const ProcessResult run = Cli({"query", missing.Address()});
        EXPECT_EQ(run.exitCode, 3);
        EXPECT_EQ(run.err, ClearTextWarning(missing.Address()) + "tolvane-cli: Cannot open the COM port. (" +
                               missing.Address() + ": Device open failure: Value or file not found)\n");
    }

    // The holder's connection holds the port once ser2net has opened the
    // device for it; its Telnet accepter then starts the negotiation.
    Ser2netServer held(device.PortPath(), Ser2netServer::Rfc2217);
    UniqueFd holder(socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0));
    const LoopbackAddress to = Loopback(held.TcpPort());
    ASSERT_EQ(connect(holder.Get(), to.Get(), to.length), 0);
    pollfd negotiation = {holder.Get(), POLLIN, 0};
    ASSERT_EQ(poll(&negotiation, 1, 5000), 1) << "ser2net sent the holder nothing within 5 s";
    char first = 0;
    ASSERT_EQ(recv(holder.Get(), &first, 1, MSG_PEEK), 1);
    EXPECT_EQ(first, Iac[0]);
    const ProcessResult busy = Cli({"query", held.Address()});
    holder.Reset();
    EXPECT_EQ(busy.exitCode, 3);
    EXPECT_EQ(busy.err, ClearTextWarning(held.Address()) + "tolvane-cli: Cannot open the COM port. (" + held.Address() +
                            ": Port already in use)\n");
}

// A name server that never answers: the lookup belongs to the set-up, and
// ends with it. The program runs in a mount namespace of its own whose
// resolv.conf names a silent server on 127.0.0.1 (root only).
TEST(SilentNameServer, TheLookupEndsWithTheSetUp)
{
    if (geteuid() != 0)
        GTEST_SKIP() << "a mount namespace and port 53 need root";
    const UniqueFd silent(socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0));
    const LoopbackAddress at = Loopback(53);
    ASSERT_TRUE(silent.IsValid());
    if (bind(silent.Get(), at.Get(), at.length) != 0)
        GTEST_SKIP() << "127.0.0.1:53 is taken";
    const std::string conf = TempFile("silent-resolv.conf");
    std::ofstream(conf) << "nameserver 127.0.0.1\noptions timeout:5 attempts:3\n";
    const std::string script = "conf=$1; shift; mount --bind \"$conf\" /etc/resolv.conf && exec \"$@\"";
    const struct {
        std::vector<std::string> args;
        int code;
        std::chrono::milliseconds most;
    } rows[] = {
        {{"query", "socket://bench-a.invalid:2217"}, 3, std::chrono::milliseconds(6500)},
        {{"scan", "--probe", "rfc2217://bench-a.invalid:2217"}, 14, std::chrono::milliseconds(2000)},
    };
    for (const auto& row : rows) {
        std::vector<std::string> args = {"-m", "sh", "-c", script, "sh", conf, TOLVANE_CLI_PATH};
        args.insert(args.end(), row.args.begin(), row.args.end());
        const auto start = std::chrono::steady_clock::now();
        const ProcessResult run = RunProcess("/usr/bin/unshare", args, 40000);
        const auto took = std::chrono::steady_clock::now() - start;
        EXPECT_EQ(run.exitCode, row.code) << run.err;
        EXPECT_LT(took, row.most) << row.args[0];
        if (row.code == 3) {
            EXPECT_NE(run.err.find("The name service did not answer in time"), std::string::npos) << run.err;
        }
    }
}

// tolvane-cli.exe under Wine through Winsock, when the Windows tests run
// this: TOLVANE_WINDOWS_CLI names it, tools/bench/wine-run starts it.
TEST_F(NetworkPorts, WindowsProgramQueriesOverRfc2217UnderWine)
{
    if (!WindowsCliGiven())
        GTEST_SKIP() << "runs with the Windows tests (TOLVANE_WINDOWS_CLI, TOLVANE_WINE_RUN)";
    const ProcessResult run = WindowsCli({"query", m_telnetServer.Address()});
    EXPECT_EQ(run.exitCode, 0) << run.out << run.err;
    EXPECT_NE(run.out.find(DeviceText), std::string::npos) << run.out;
    EXPECT_EQ(m_telnet.State()["query-line"], LineAsSet);
}

}  // namespace
