// tolvane-cli inside TLS, as a process, against a real ser2net with its ssl
// gensio in front of the simulated devices behind COM5 (raw TCP) and COM6
// (RFC 2217), with certificates the test makes; and stunnel, requiring a
// client certificate, in front of a plain ser2net.
#include "BenchDevice.h"
#include "NetworkCli.h"
#include "ScriptedServer.h"
#include "Ser2netServer.h"
#include "TlsBench.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>

#include <unistd.h>

namespace {

const std::string CannotOpen = "tolvane-cli: Cannot open the COM port. (";
// What stunnel's log says of the bench's client certificate once it came.
const std::string ClientCertificateReceived = "Certificate accepted at depth=0: CN=client";
// What it says of a client that ended the connection with a close_notify.
const std::string ClosedWithNotify = "TLS closed (SSL_read)";

Ser2netTls ServerFiles(const TestCertificates& certificates, const std::string& name)
{
    return {certificates.Key(name), certificates.Certificate(name)};
}

// A process StartListeningServer started, stopped when this goes.
struct ServerProcess {
    explicit ServerProcess(pid_t started) : pid(started) {}
    ~ServerProcess() { StopServer(pid); }
    ServerProcess(const ServerProcess&) = delete;
    ServerProcess& operator=(const ServerProcess&) = delete;
    pid_t pid;
};

// A server's address with `host` for 127.0.0.1.
std::string OnHost(std::string address, const std::string& host)
{
    return address.replace(address.find("127.0.0.1"), 9, host);
}

class TlsPorts : public ::testing::Test {
protected:
    static void SetUpTestSuite() { s_certificates = std::make_unique<TestCertificates>(); }
    static void TearDownTestSuite() { s_certificates.reset(); }

    void SetUp() override
    {
        ASSERT_NE(s_certificates, nullptr) << "the test certificates could not be made";
        for (BenchDevice* device : {&m_raw, &m_telnet}) {
            device->SetScenario(BenchDevice::DefaultState);
            device->MarkReceived();
        }
    }

    static const TestCertificates& Certificates() { return *s_certificates; }
    std::string Ca() const { return s_certificates->CaCertificate(); }

    static std::unique_ptr<TestCertificates> s_certificates;
    BenchDevice m_raw{5};
    BenchDevice m_telnet{6};
};

std::unique_ptr<TestCertificates> TlsPorts::s_certificates;

// The transcript holds the device's bytes, and how the connection was
// secured: the version and the certificate the server showed.
TEST_F(TlsPorts, EveryCommandWorksThroughBothTlsSchemes)
{
    const Ser2netServer raw(m_raw.PortPath(), Ser2netServer::RawTcp, "", ServerFiles(Certificates(), "server"));
    const Ser2netServer telnet(m_telnet.PortPath(), Ser2netServer::Rfc2217, "", ServerFiles(Certificates(), "server"));
    const std::string transcript = TempFile("tls-query.log");
    std::remove(transcript.c_str());
    const ProcessResult query = Cli({"query", telnet.Address(), "--tls-ca", Ca(), "--transcript", transcript});
    EXPECT_EQ(query.exitCode, 0) << query.err;
    EXPECT_EQ(query.out, DeviceText);
    EXPECT_EQ(m_telnet.State()["query-line"], LineAsSet);
    const std::string log = ReadFile(transcript);
    EXPECT_NE(log.find(telnet.Address() + "\t=\tTLS 1.3, server certificate SHA-256 " +
                       Certificates().Fingerprint("server") + "\n"),
              std::string::npos)
        << log;
    EXPECT_NE(log.find(telnet.Address() + "\t>\t6B 77 64 33 38 6D 34 74 51 5A 58 68 37\t"), std::string::npos) << log;

    const ProcessResult configure =
        Cli({"configure", raw.Address(), "--tls-ca", Ca(), "--auth", "off", "--pin", "4321", "--verify"});
    EXPECT_EQ(configure.exitCode, 0) << configure.err;
    EXPECT_EQ(m_raw.State()["pin"], "4321");

    const ProcessResult scan = Cli({"scan", "--probe", raw.Address(), telnet.Address(), "--tls-ca", Ca()});
    EXPECT_EQ(scan.exitCode, 0) << scan.err;
    EXPECT_EQ(scan.out, raw.Address() + "\tdevice\t1.3\tTolvane Demo\tnetwork\n" + telnet.Address() +
                            "\tdevice\t1.3\tTolvane Demo\tnetwork\n");

    const std::string plan = TempFile("tls-plan.csv");
    std::ofstream(plan) << "port,auth,pin\n" << raw.Address() << ",on,5555\n" << telnet.Address() << ",off,\n";
    const ProcessResult provision = Cli({"provision", plan, "--verify", "--tls-ca", Ca()});
    EXPECT_EQ(provision.exitCode, 0) << provision.err;
    EXPECT_EQ(m_raw.State()["pin"], "5555");
    EXPECT_EQ(m_telnet.State()["auth"], "0");
}

// A server that fails its check is left before a byte reaches the device,
// with the reason a person can act on: a certificate is matched by its
// subjectAltName alone, weak keys and signatures are refused, an authority
// is the one given byte for byte, and a certificate of the chain that fails
// is named. A server that asks for a client certificate does not get it:
// the check is made before it would go.
TEST_F(TlsPorts, AServerThatFailsItsCheckReceivesNothing)
{
    const struct {
        const char* finding;
        const char* certificate;
        const char* host;
        std::vector<std::string> options;
        std::string reason;
    } rows[] = {
        {"a certificate for another name",
         "other",
         "127.0.0.1",
         {"--tls-ca", Ca()},
         "the server's certificate is not made out to 127.0.0.1"},
        {"an expired certificate", "expired", "127.0.0.1", {"--tls-ca", Ca()}, "the server's certificate has expired"},
        {"an unknown authority",
         "stranger",
         "127.0.0.1",
         {"--tls-ca", Ca()},
         "the server's certificate comes from an authority this machine does not trust"},
        {"the system's authorities",
         "server",
         "127.0.0.1",
         {},
         "the server's certificate comes from an authority this machine does not trust"},
        {"a wrong fingerprint",
         "stranger",
         "127.0.0.1",
         {"--tls-fingerprint", Certificates().Fingerprint("server")},
         "the server's certificate has the SHA-256 fingerprint " + Certificates().Fingerprint("stranger") +
             ", not the one --tls-fingerprint gives"},
        {"a Common Name without subjectAltName",
         "cn-only",
         "localhost",
         {"--tls-ca", Ca()},
         "the server's certificate is not made out to localhost"},
        {"an authority's name and serial number on another key",
         "impostor",
         "localhost",
         {"--tls-ca", Ca()},
         "the server's certificate comes from an authority this machine does not trust"},
        {"an RSA-1024 key", "weak-key", "localhost", {"--tls-ca", Ca()}, "the server's certificate has a key too weak"},
        {"a SHA-1 signature",
         "sha1",
         "localhost",
         {"--tls-ca", Ca()},
         "the server's certificate is signed with a digest too weak"},
        {"an expired intermediate",
         "under-lapsed",
         "localhost",
         {"--tls-ca", Ca()},
         "the certificate \"CN=Lapsed Intermediate\" of the server's chain has expired"},
        {"a server that asks for the client certificate",
         "other",
         "localhost",
         {"--tls-ca", Ca(), "--tls-cert", Certificates().Certificate("client"), "--tls-key",
          Certificates().Key("client")},
         "the server's certificate is not made out to localhost"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.finding);
        for (Ser2netServer::Accepter accepter : {Ser2netServer::RawTcp, Ser2netServer::Rfc2217}) {
            BenchDevice& device = accepter == Ser2netServer::RawTcp ? m_raw : m_telnet;
            // ser2net will not show a weak certificate, nor take a client's:
            // stunnel does, in front of a plain ser2net.
            const bool weak = std::string(row.certificate) == "weak-key" || std::string(row.certificate) == "sha1";
            const bool asks = std::find(row.options.begin(), row.options.end(), "--tls-cert") != row.options.end();
            const Ser2netServer server(device.PortPath(), accepter, "",
                                       weak || asks ? Ser2netTls{} : ServerFiles(Certificates(), row.certificate));
            const std::unique_ptr<StunnelServer> front =
                weak || asks ? std::make_unique<StunnelServer>(Certificates(), server.TcpPort(), row.certificate, asks)
                             : nullptr;
            const std::string scheme = accepter == Ser2netServer::RawTcp ? "socket+tls://" : "rfc2217+tls://";
            const std::string address = front != nullptr ? scheme + row.host + ":" + std::to_string(front->TcpPort())
                                                         : OnHost(server.Address(), row.host);
            std::vector<std::string> args = {"query", address};
            args.insert(args.end(), row.options.begin(), row.options.end());
            const ProcessResult run = Cli(args);
            EXPECT_EQ(run.exitCode, 3);
            EXPECT_EQ(run.err.rfind(CannotOpen + address + ": " + row.reason, 0), 0u) << run.err;
            EXPECT_EQ(device.ReceivedSinceMark(), "");
            if (front != nullptr) {
                EXPECT_EQ(front->LogOnceServed().find(ClientCertificateReceived), std::string::npos);
            }
        }
    }
    // With the right fingerprint the name is not checked.
    const Ser2netServer other(m_telnet.PortPath(), Ser2netServer::Rfc2217, "", ServerFiles(Certificates(), "other"));
    const ProcessResult pinned =
        Cli({"query", other.Address(), "--tls-fingerprint", Certificates().Fingerprint("other")});
    EXPECT_EQ(pinned.exitCode, 0) << pinned.err;
}

// TLS options that no address of the command would use are refused before
// anything is opened, as are TLS files that hold nothing to use; an address
// may end in one slash.
TEST_F(TlsPorts, TlsOptionsAreCheckedBeforeAnythingOpens)
{
    const Ser2netServer plain(m_telnet.PortPath(), Ser2netServer::Rfc2217);
    const Ser2netServer secured(m_raw.PortPath(), Ser2netServer::RawTcp, "", ServerFiles(Certificates(), "server"));
    const std::string plan = TempFile("tls-plain-plan.csv");
    std::ofstream(plan) << "port,auth,pin\n" << plain.Address() << ",on,5555\n";
    const std::string unused =
        "tolvane-cli: --tls-ca applies to socket+tls:// and rfc2217+tls:// ports only, and no "
        "port of this command is one: without TLS it would be ignored, and the PIN would not "
        "be protected. Give a +tls address, or leave the TLS options out.\n";
    const struct {
        std::vector<std::string> args;
        std::string err;
    } rows[] = {
        {{"configure", plain.Address(), "--pin", "4321", "--tls-ca", Ca()}, unused},
        {{"query", m_raw.PortPath(), "--tls-ca", Ca()}, unused},
        {{"scan", "--probe", plain.Address(), "--tls-ca", Ca()}, unused},
        {{"provision", plan, "--tls-ca", Ca()}, unused},
        {{"query", plain.Address(), "--tls-fingerprint", Certificates().Fingerprint("server"), "--tls-cert",
          Certificates().Certificate("client"), "--tls-key", Certificates().Key("client")},
         "tolvane-cli: --tls-fingerprint, --tls-cert and --tls-key apply to socket+tls:// and rfc2217+tls:// ports "
         "only, and no port of this command is one: without TLS they would be ignored, and the PIN would not be "
         "protected. Give a +tls address, or leave the TLS options out.\n"},
        {{"query", secured.Address(), "--tls-ca", Certificates().Key("server")},
         "tolvane-cli: The certificates of --tls-ca cannot be used: the file holds no certificate in PEM form.\n"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.args[0] + " " + row.args[1]);
        const ProcessResult run = Cli(row.args);
        EXPECT_EQ(run.exitCode, 2);
        EXPECT_EQ(run.err, row.err);
        EXPECT_EQ(m_telnet.ReceivedSinceMark(), "");
        EXPECT_EQ(m_raw.ReceivedSinceMark(), "");
    }
    const ProcessResult slash = Cli({"query", secured.Address() + "/", "--tls-ca", Ca()});
    EXPECT_EQ(slash.exitCode, 0) << slash.err;
    EXPECT_EQ(slash.out, DeviceText);
}

// The start of a command line that runs the rest with /etc/hosts naming
// 127.0.0.1 BenchName (and with its trailing dot), in a mount namespace of
// its own: root only. Under Wine the name is looked up in the program's own
// process, which runs inside it.
const std::string BenchName = "bench.tolvane.test";

std::vector<std::string> WithBenchName()
{
    const std::string hosts = TempFile("tls-hosts");
    std::ofstream(hosts) << "127.0.0.1 " << BenchName << "\n127.0.0.1 " << BenchName << ".\n";
    return {"/usr/bin/unshare", "-m", "sh", "-c", "mount --bind \"$0\" /etc/hosts && exec \"$@\"", hosts};
}

ProcessResult CliWithBenchName(const std::vector<std::string>& args)
{
    std::vector<std::string> line = WithBenchName();
    line.push_back(TOLVANE_CLI_PATH);
    line.insert(line.end(), args.begin(), args.end());
    return RunProcess(line.front(), std::vector<std::string>(line.begin() + 1, line.end()), 20000);
}

// A name is matched as its certificate writes it: a partial wildcard
// names nothing, and a name's trailing dot is no part of it (for the check
// and for SNI).
TEST_F(TlsPorts, NamesAreMatchedWithoutPartialWildcardsOrTrailingDots)
{
    if (getuid() != 0)
        GTEST_SKIP() << "gives the bench a name in a mount namespace of its own, which needs root";
    const Ser2netServer wildcard(m_raw.PortPath(), Ser2netServer::RawTcp, "",
                                 ServerFiles(Certificates(), "partial-wildcard"));
    const std::string wildcardAddress = "socket+tls://bench.tolvane.test:" + std::to_string(wildcard.TcpPort());
    const ProcessResult partial = CliWithBenchName({"query", wildcardAddress, "--tls-ca", Ca()});
    EXPECT_EQ(partial.exitCode, 3);
    EXPECT_EQ(partial.err,
              CannotOpen + wildcardAddress + ": the server's certificate is not made out to bench.tolvane.test)\n");
    EXPECT_EQ(m_raw.ReceivedSinceMark(), "");

    const Ser2netServer named(m_raw.PortPath(), Ser2netServer::RawTcp, "", ServerFiles(Certificates(), "named"));
    const ProcessResult dotted = CliWithBenchName(
        {"query", "socket+tls://bench.tolvane.test.:" + std::to_string(named.TcpPort()), "--tls-ca", Ca()});
    EXPECT_EQ(dotted.exitCode, 0) << dotted.err;
    EXPECT_EQ(dotted.out, DeviceText);
}

// A TLS server that answers a byte a second: not a plain one, a slow one.
std::vector<ServerStep> SlowTlsServer()
{
    std::vector<ServerStep> slowly = {Expect("\x16\x03")};
    for (char byte : std::string("\x16\x03\x03\x00\x7a\x02\x00"))
        slowly.insert(slowly.end(), {Send(std::string(1, byte)), Pause(1000)});
    return slowly;
}

// A plain server on a TLS address, and a TLS server on a plain one: each
// ends within the set-up wait, as a port that could not be opened.
TEST_F(TlsPorts, PlainAndTlsServersAreToldApartWithinTheSetUpWait)
{
    const Ser2netServer plainTelnet(m_telnet.PortPath(), Ser2netServer::Rfc2217);
    const Ser2netServer plainRaw(m_raw.PortPath(), Ser2netServer::RawTcp);
    const Ser2netServer tlsTelnet(m_telnet.PortPath(), Ser2netServer::Rfc2217, "",
                                  ServerFiles(Certificates(), "server"));
    const std::string tlsAsPlain = "rfc2217://127.0.0.1:" + std::to_string(tlsTelnet.TcpPort());
    const std::string tlsAsRaw = "socket://127.0.0.1:" + std::to_string(tlsTelnet.TcpPort());
    const std::string plainTelnetAsTls = "rfc2217+tls://127.0.0.1:" + std::to_string(plainTelnet.TcpPort());
    const std::string plainRawAsTls = "socket+tls://127.0.0.1:" + std::to_string(plainRaw.TcpPort());
    const ScriptedServer slow(SlowTlsServer());
    const std::string slowAsTls = "socket+tls://" + slow.HostAndPort();
    const struct {
        std::string address;
        std::string reason;
    } rows[] = {
        {plainTelnetAsTls, "the server does not speak TLS"},
        {plainRawAsTls, "no TLS answer within the set-up wait"},
        {slowAsTls, "the TLS handshake did not finish within the set-up wait)\n"},
        {tlsAsPlain, "the server closed the connection without a word; a server that speaks TLS does so"},
        {tlsAsRaw, "the server closed the connection without a word; a server that speaks TLS does so"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.address);
        const auto start = std::chrono::steady_clock::now();
        std::vector<std::string> args = {"query", row.address};
        if (row.address.find("+tls") != std::string::npos)
            args.insert(args.end(), {"--tls-ca", Ca()});
        const ProcessResult run = Cli(args);
        EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(6000));
        EXPECT_EQ(run.exitCode, 3);
        const std::string warning = row.address.find("+tls") == std::string::npos ? ClearTextWarning(row.address) : "";
        EXPECT_EQ(run.err.rfind(warning + CannotOpen + row.address + ": " + row.reason, 0), 0u) << run.err;
    }
    // A probe gives the handshake its one second, and says why it failed.
    const std::string noAnswer =
        "no TLS answer within the set-up wait; a plain server on this port is reached with socket:// or rfc2217://";
    const auto start = std::chrono::steady_clock::now();
    const ProcessResult probe = Cli({"scan", "--probe", plainRawAsTls, "--tls-ca", Ca()});
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(2500));
    EXPECT_EQ(probe.out, plainRawAsTls + "\tcannot-open\t\t\tnetwork\t\t\t\t" + noAnswer + "\n");
    const ProcessResult json = Cli({"scan", "--probe", plainRawAsTls, "--tls-ca", Ca(), "--json"});
    EXPECT_NE(json.out.find("\"status\":\"cannot-open\",\"kind\":\"network\",\"reason\":\"" + noAnswer + "\"}"),
              std::string::npos)
        << json.out;
}

// stunnel requires a client certificate: without one the reason says so;
// with one the query goes through. A key others can read is used, with a
// warning; a key that is no regular file is refused before anything opens.
TEST_F(TlsPorts, ClientCertificatesForAServerThatRequiresOne)
{
    const Ser2netServer plain(m_raw.PortPath(), Ser2netServer::RawTcp);
    const StunnelServer stunnel(Certificates(), plain.TcpPort());
    const std::string address = "socket+tls://localhost:" + std::to_string(stunnel.TcpPort());

    const ProcessResult without = Cli({"query", address, "--tls-ca", Ca()});
    EXPECT_EQ(without.exitCode, 3);
    EXPECT_EQ(without.err, CannotOpen + address +
                               ": the server requires a client certificate; give one with --tls-cert and --tls-key)\n");

    const ProcessResult stranger =
        Cli({"query", address, "--tls-ca", Ca(), "--tls-cert", Certificates().Certificate("stranger"), "--tls-key",
             Certificates().Key("stranger")});
    EXPECT_EQ(stranger.exitCode, 3);
    EXPECT_EQ(stranger.err.rfind(CannotOpen + address + ": the server refused the client certificate", 0), 0u)
        << stranger.err;
    EXPECT_EQ(m_raw.ReceivedSinceMark(), "");

    // A copy others may read, beside the certificates: it goes with them.
    const std::string sharedKey = Certificates().Folder() + "/shared-client.key";
    std::filesystem::copy_file(Certificates().Key("client"), sharedKey,
                               std::filesystem::copy_options::overwrite_existing);
    std::filesystem::permissions(sharedKey, std::filesystem::perms::others_read, std::filesystem::perm_options::add);
    const ProcessResult with = Cli({"query", address, "--tls-ca", Ca(), "--tls-cert",
                                    Certificates().Certificate("client"), "--tls-key", sharedKey});
    EXPECT_EQ(with.exitCode, 0) << with.err;
    EXPECT_EQ(with.out, DeviceText);
    EXPECT_EQ(with.err, "tolvane-cli: Warning: other users of this machine can read the key file " + sharedKey +
                            "; let only its owner read it (chmod 600).\n");
    EXPECT_EQ(m_raw.ReceivedSinceMark(), Query);
    EXPECT_NE(stunnel.LogOnceServed().find(ClientCertificateReceived), std::string::npos);
    EXPECT_NE(stunnel.LogOnceServed().find(ClosedWithNotify), std::string::npos);

    const ProcessResult device =
        Cli({"query", address, "--tls-cert", Certificates().Certificate("client"), "--tls-key", "/dev/null"});
    EXPECT_EQ(device.exitCode, 2);
    EXPECT_EQ(device.err, "tolvane-cli: Cannot read the --tls-key file /dev/null: it is a device, not a file.\n");
}

// tolvane-cli.exe under Wine, whose Schannel runs over GnuTLS, when the
// Windows tests run this: TOLVANE_WINDOWS_CLI names it, tools/bench/wine-run
// starts it. Wine gives both outputs as one, with CR LF line ends. Its
// client certificate is a PKCS#12 file, given to stunnel. Schannel's own
// check lets impostors through (a Common Name, an authority's copied name
// and serial number, weak keys and signatures): the program's check does
// not, and every failure reads as words. The check comes before the client
// certificate would go, and names are matched as on Linux (the bench's name
// is given as there; an IPv6 zone and a trailing dot are no part of a name,
// for the check and for SNI).
// Only the rows that pass reach a device. (Wine's Schannel has no
// ApplyControlToken, so the close_notify a query ends with on Windows
// cannot be seen here.)
TEST_F(TlsPorts, WindowsProgramChecksTheServerUnderWine)
{
    if (!WindowsCliGiven())
        GTEST_SKIP() << "runs with the Windows tests (TOLVANE_WINDOWS_CLI, TOLVANE_WINE_RUN)";
    const std::string ca = "Z:" + Ca();
    const Ser2netServer server(m_telnet.PortPath(), Ser2netServer::Rfc2217, "", ServerFiles(Certificates(), "server"));
    const Ser2netServer plain(m_raw.PortPath(), Ser2netServer::RawTcp);
    const StunnelServer stunnel(Certificates(), plain.TcpPort());
    const std::string hostAndPort = "localhost:" + std::to_string(server.TcpPort());
    const std::string stunnelAddress = "socket+tls://localhost:" + std::to_string(stunnel.TcpPort());
    // A server of TLS 1.3 alone, which Schannel (TLS 1.2) cannot reach.
    const TempFolder newer("tls13");
    const unsigned short newerPort = FreeTcpPort();
    const ServerProcess tls13(
        StartListeningServer("/usr/bin/openssl",
                             {"s_server", "-www", "-tls1_3", "-accept", "127.0.0.1:" + std::to_string(newerPort),
                              "-cert", Certificates().Certificate("server"), "-key", Certificates().Key("server")},
                             newerPort, newer.File("s_server.log")));
    std::vector<std::unique_ptr<Ser2netServer>> impostors;
    std::vector<std::unique_ptr<StunnelServer>> weak;
    const auto impostor = [&](const std::string& certificate, const std::string& host = "localhost") {
        impostors.push_back(std::make_unique<Ser2netServer>(m_telnet.PortPath(), Ser2netServer::Rfc2217, "",
                                                            ServerFiles(Certificates(), certificate)));
        return "rfc2217+tls://" + host + ":" + std::to_string(impostors.back()->TcpPort());
    };
    const auto weakFront = [&](const std::string& certificate, const std::string& host = "localhost") {
        weak.push_back(std::make_unique<StunnelServer>(Certificates(), plain.TcpPort(), certificate, false));
        return "socket+tls://" + host + ":" + std::to_string(weak.back()->TcpPort());
    };
    // One that asks for a client certificate and shows one for another name.
    const StunnelServer asking(Certificates(), plain.TcpPort(), "other");
    const std::string askingAddress = "socket+tls://localhost:" + std::to_string(asking.TcpPort());
    const ScriptedServer slow(SlowTlsServer());
    // Two that take the client's hello, with the name it sends (SNI), and
    // close.
    const ScriptedServer hello({Expect("\x16\x03"), SendAndClose("")});
    const ScriptedServer hello6({Expect("\x16\x03"), SendAndClose("")}, true);
    const std::string notTls =
        "the server does not speak TLS; a plain server is reached with socket:// or rfc2217://)\n";
    const struct {
        std::string address;
        std::string clientCertificate;
        int code;
        std::string output;
    } rows[] = {
        {"rfc2217+tls://" + hostAndPort, "", 0, DeviceText},
        {impostor("other"), "", 3, "the server's certificate is not made out to localhost)\n"},
        {impostor("cn-only"), "", 3, "the server's certificate is not made out to localhost)\n"},
        {impostor("impostor"), "", 3,
         "the server's certificate comes from an authority this machine does not trust; give the bench's own "
         "certificate authority with --tls-ca, or the certificate's fingerprint with --tls-fingerprint)\n"},
        {impostor("under-lapsed"), "", 3,
         "the certificate \"CN=Lapsed Intermediate\" of the server's chain has expired)\n"},
        {weakFront("weak-key"), "", 3,
         "the server's certificate has a key too weak to trust (RSA or DSA under 2048 bits, or a curve under 224))\n"},
        {weakFront("weak-pss"), "", 3,
         "the server's certificate has a key too weak to trust (RSA or DSA under 2048 bits, or a curve under 224))\n"},
        {weakFront("sha1"), "", 3,
         "the server's certificate is signed with a digest too weak to trust (SHA-1 or MD5))\n"},
        {stunnelAddress, "", 3,
         "the server requires a client certificate; give one with --tls-cert (a PKCS#12 file))\n"},
        {stunnelAddress, "Z:" + Certificates().Pkcs12("stranger"), 3,
         "the server refused the client certificate (handshake failure))\n"},
        {stunnelAddress, "Z:" + Certificates().Certificate("client"), 2,
         "tolvane-cli: The client certificate or key cannot be used: the file is no PKCS#12 file; on Windows "
         "--tls-cert takes a .p12 file that holds the key too.\n"},
        {stunnelAddress, "Z:" + Certificates().Pkcs12("client"), 0, DeviceText},
        {askingAddress, "Z:" + Certificates().Pkcs12("client"), 3,
         "the server's certificate is not made out to localhost)\n"},
        {"socket+tls://localhost:" + std::to_string(newerPort), "", 3,
         "TLS failed: the server takes no TLS version this machine offers; Windows speaks TLS 1.2 here (protocol "
         "version), alert 70)\n"},
        {"socket+tls://" + slow.HostAndPort(), "", 3, "the TLS handshake did not finish within the set-up wait)\n"},
        {impostor("partial-wildcard", BenchName), "", 3,
         "the server's certificate is not made out to " + BenchName + ")\n"},
        {impostor("named", BenchName + "."), "", 0, DeviceText},
        // Zone 1 is the loopback interface; the systems take a zone's name
        // (%lo) for link-local addresses only.
        {weakFront("server", "[::1%1]"), "", 0, DeviceText},
        {"socket+tls://[::1%1]:" + std::to_string(hello6.TcpPort()), "", 3, notTls},
        {"socket+tls://" + BenchName + ".:" + std::to_string(hello.TcpPort()), "", 3, notTls},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.address + " " + row.clientCertificate);
        std::vector<std::string> args = {"query", row.address, "--tls-ca", ca};
        if (!row.clientCertificate.empty())
            args.insert(args.end(), {"--tls-cert", row.clientCertificate});
        // An address that names the bench needs the name given: as root.
        const bool named = row.address.find(BenchName) != std::string::npos;
        if (named && getuid() != 0)
            continue;
        const ProcessResult run = WindowsCli(args, named ? WithBenchName() : std::vector<std::string>());
        EXPECT_EQ(run.exitCode, row.code) << run.out;
        EXPECT_EQ(run.out, row.code == 3 ? CannotOpen + row.address + ": " + row.output : row.output);
    }
    EXPECT_EQ(m_telnet.State()["query-line"], LineAsSet);
    EXPECT_EQ(m_telnet.ReceivedSinceMark(), getuid() == 0 ? std::string(Query) + Query : std::string(Query));
    EXPECT_EQ(m_raw.ReceivedSinceMark(), std::string(Query) + Query);
    // The server that failed its check received no client certificate.
    EXPECT_NE(stunnel.LogOnceServed().find(ClientCertificateReceived), std::string::npos);
    EXPECT_EQ(asking.LogOnceServed().find(ClientCertificateReceived), std::string::npos);
    // SNI: an address without its zone, a name without its trailing dot.
    EXPECT_EQ(hello6.Received().rfind("\x16\x03", 0), 0u);
    EXPECT_EQ(hello6.Received().find("::1%"), std::string::npos);
    if (getuid() == 0) {
        EXPECT_NE(hello.Received().find(BenchName), std::string::npos);
        EXPECT_EQ(hello.Received().find(BenchName + "."), std::string::npos);
    }
}

}  // namespace
