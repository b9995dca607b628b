#include "TlsBench.h"

#include "RunProcess.h"
#include "Ser2netServer.h"

#include <cctype>
#include <chrono>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <stdexcept>
#include <thread>
#include <vector>

namespace {

constexpr int OpensslWait = 30000;

std::string Openssl(const std::vector<std::string>& args)
{
    const ProcessResult run = RunProcess("/usr/bin/openssl", args, OpensslWait);
    if (run.exitCode != 0)
        throw std::runtime_error("openssl " + args.front() + " failed: " + run.err + run.startError);
    return run.out;
}

// How `openssl req` makes a new key: P-256 is quick to make. A client key
// that Windows takes from a PKCS#12 file is RSA, and one kept with the
// tests (tests/support/tls): under Wine some freshly made RSA keys (a
// private value shorter than usual) cannot sign once imported.
const std::vector<std::string> EcKey = {"-newkey", "ec", "-pkeyopt", "ec_paramgen_curve:prime256v1"};
const std::vector<std::string> WeakRsaKey = {"-newkey", "rsa:1024"};
const std::vector<std::string> WeakRsaPssKey = {"-newkey", "rsa-pss", "-pkeyopt", "rsa_keygen_bits:1024"};

std::vector<std::string> KeptKey(const std::string& name)
{
    return {"-key", std::string(TOLVANE_TEST_KEYS_DIR) + "/" + name + ".key"};
}

void OwnerOnly(const std::string& path)
{
    std::filesystem::permissions(path, std::filesystem::perms::owner_read | std::filesystem::perms::owner_write);
}

// Wine 8's crypt32 finds an ECDSA signature invalid when its r or s is
// shorter than the curve's 32 bytes (one signature in about 128), which
// OpenSSL takes: the Windows tests would fail now and then. Such a
// certificate is signed again, up to SigningTries times.
constexpr int SigningTries = 16;
constexpr unsigned ShortestPart = 32;

bool WineTakesSignature(const std::string& certificate)
{
    const std::string text = Openssl({"x509", "-in", certificate, "-noout", "-text"});
    const std::size_t value = text.rfind("Signature Value:");
    if (value == std::string::npos)
        return true;
    std::string digits;
    for (char c : text.substr(value + std::strlen("Signature Value:"))) {
        if (std::isxdigit(static_cast<unsigned char>(c)))
            digits += c;
    }
    std::vector<unsigned> bytes;
    for (std::size_t at = 0; at + 1 < digits.size(); at += 2)
        bytes.push_back(static_cast<unsigned>(std::stoul(digits.substr(at, 2), nullptr, 16)));
    // SEQUENCE { INTEGER r, INTEGER s }; an RSA signature is no SEQUENCE.
    if (bytes.size() < 2 || bytes[0] != 0x30)
        return true;
    // A part's length counts the 00 that keeps a high first byte positive:
    // the value itself is what must be 32 bytes long.
    std::size_t at = 2;
    for (int part = 0; part < 2; ++part) {
        if (at + 2 >= bytes.size() || bytes[at] != 0x02)
            return false;
        const unsigned length = bytes[at + 1];
        const unsigned significant = length > 0 && bytes[at + 2] == 0 ? length - 1 : length;
        if (significant < ShortestPart)
            return false;
        at += 2 + length;
    }
    return true;
}

// Runs `openssl args` (which signs `certificate`) until Wine takes the
// signature.
void Sign(const std::vector<std::string>& args, const std::string& certificate)
{
    for (int tries = 1; tries < SigningTries; ++tries) {
        Openssl(args);
        if (WineTakesSignature(certificate))
            return;
    }
    Openssl(args);
}

}  // namespace

TestCertificates::TestCertificates()
{
    SelfSigned("ca", "/CN=Tolvane Test Bench CA", {});
    SelfSigned("stranger-ca", "/CN=Another Authority", {});
    Issue("server", "DNS:localhost,IP:127.0.0.1,IP:::1");
    Issue("expired", "DNS:localhost,IP:127.0.0.1", "-1");
    Issue("other", "DNS:bench-b.invalid");
    Issue("client", "DNS:bench-client.invalid", "2", "ca", KeptKey("client"));
    Issue("stranger", "DNS:localhost,IP:127.0.0.1", "2", "stranger-ca", KeptKey("stranger"));
    // Impostors and weak certificates, each made out to localhost.
    Issue("cn-only", "", "2", "ca", EcKey, "/CN=localhost");
    Issue("weak-key", "DNS:localhost,IP:127.0.0.1", "2", "ca", WeakRsaKey);
    Issue("weak-pss", "DNS:localhost,IP:127.0.0.1", "2", "ca", WeakRsaPssKey);
    Issue("sha1", "DNS:localhost,IP:127.0.0.1", "2", "ca", EcKey, "", "sha1");
    // For a name of 127.0.0.1 that a test gives (bench.tolvane.test).
    Issue("named", "DNS:bench.tolvane.test");
    Issue("partial-wildcard", "DNS:b*.tolvane.test");
    // An authority with the bench authority's name and serial number and a
    // key of its own, and a certificate it issued; the server sends both.
    const std::string serial = Openssl({"x509", "-in", CaCertificate(), "-noout", "-serial"});
    SelfSigned("impostor-ca", "/CN=Tolvane Test Bench CA",
               {"-set_serial", "0x" + serial.substr(serial.find('=') + 1, serial.find('\n') - serial.find('=') - 1)});
    Issue("impostor", "DNS:localhost,IP:127.0.0.1", "2", "impostor-ca");
    Chain("impostor", "impostor-ca");
    // An intermediate authority that expired, and a valid certificate it
    // issued.
    Issue("lapsed-ca", "", "-1", "ca", EcKey, "/CN=Lapsed Intermediate", "sha256", "basicConstraints=critical,CA:TRUE");
    Issue("under-lapsed", "DNS:localhost,IP:127.0.0.1", "2", "lapsed-ca");
    Chain("under-lapsed", "lapsed-ca");
    for (const char* name : {"client", "stranger"}) {
        Openssl({"pkcs12", "-export", "-in", Certificate(name), "-inkey", Key(name), "-out", Pkcs12(name), "-passout",
                 "pass:"});
    }
}

void TestCertificates::SelfSigned(const std::string& name, const std::string& subject,
                                  const std::vector<std::string>& more)
{
    std::vector<std::string> args = {"req",   "-x509", "-nodes", "-keyout", Key(name), "-out", Certificate(name),
                                     "-days", "2",     "-subj",  subject};
    args.insert(args.end(), EcKey.begin(), EcKey.end());
    args.insert(args.end(), more.begin(), more.end());
    Sign(args, Certificate(name));
    OwnerOnly(Key(name));
}

// `days` -1 ends the validity a day before it starts: expired now. A kept
// key is copied beside the certificate, as NAME.key.
void TestCertificates::Issue(const std::string& name, const std::string& altNames, const std::string& days,
                             const std::string& issuer, const std::vector<std::string>& key, const std::string& subject,
                             const std::string& digest, const std::string& extension)
{
    const Issued how = {altNames, days, issuer, key, subject, digest, extension};
    const std::string base = m_folder.File(name);
    const std::string extensions = base + ".ext";
    {
        std::ofstream out(extensions);
        if (!how.altNames.empty())
            out << "subjectAltName=" << how.altNames << "\n";
        if (!how.extension.empty())
            out << how.extension << "\n";
    }
    std::vector<std::string> request = {
        "req", "-new", "-nodes", "-out", base + ".csr", "-subj", how.subject.empty() ? "/CN=" + name : how.subject};
    if (how.key.front() == "-key") {
        std::filesystem::copy_file(how.key.back(), Key(name), std::filesystem::copy_options::overwrite_existing);
        request.insert(request.end(), {"-key", Key(name)});
    } else {
        request.insert(request.end(), {"-keyout", Key(name)});
        request.insert(request.end(), how.key.begin(), how.key.end());
    }
    Openssl(request);
    Sign({"x509", "-req", "-in", base + ".csr", "-CA", Certificate(how.issuer), "-CAkey", Key(how.issuer),
          "-CAcreateserial", "-out", base + ".pem", "-days", how.days, "-" + how.digest, "-extfile", extensions},
         Certificate(name));
    OwnerOnly(Key(name));
}

// NAME.pem followed by the certificate of its issuer, as a server sends them.
void TestCertificates::Chain(const std::string& name, const std::string& issuer)
{
    std::ifstream leaf(Certificate(name)), authority(Certificate(issuer));
    const std::string chain = std::string(std::istreambuf_iterator<char>(leaf), std::istreambuf_iterator<char>()) +
                              std::string(std::istreambuf_iterator<char>(authority), std::istreambuf_iterator<char>());
    std::ofstream(Certificate(name), std::ios::trunc) << chain;
}

std::string TestCertificates::Fingerprint(const std::string& name) const
{
    const ProcessResult run = RunProcess(
        "/usr/bin/openssl", {"x509", "-in", Certificate(name), "-noout", "-fingerprint", "-sha256"}, OpensslWait);
    const std::size_t equals = run.out.find('=');
    if (run.exitCode != 0 || equals == std::string::npos)
        throw std::runtime_error("openssl x509 -fingerprint failed: " + run.err);
    return run.out.substr(equals + 1, run.out.find('\n') - equals - 1);
}

StunnelServer::StunnelServer(const TestCertificates& certificates, unsigned short plainPort,
                             const std::string& certificate, bool requireClient)
    : m_port(FreeTcpPort())
{
    std::ostringstream service;
    service << "connect = 127.0.0.1:" << plainPort << "\ncert = " << certificates.Certificate(certificate)
            << "\nkey = " << certificates.Key(certificate) << "\n";
    if (requireClient)
        service << "CAfile = " << certificates.CaCertificate() << "\nverifyChain = yes\nrequireCert = yes\n";
    else
        service << "securityLevel = 0\n";
    // The same service on [::1] and the same port number: the wait below
    // looks for 127.0.0.1, which stunnel takes once both are bound.
    const std::string config = m_folder.File("stunnel.conf");
    std::ofstream out(config);
    out << "foreground = yes\npid =\ndebug = info\n[bench]\naccept = 127.0.0.1:" << m_port << "\n"
        << service.str() << "[bench6]\naccept = ::1:" << m_port << "\n"
        << service.str();
    out.close();
    m_pid = StartListeningServer("stunnel4", {config}, m_port, LogFile());
}

std::string StunnelServer::LogOnceServed() const
{
    const auto count = [](const std::string& log, const std::string& line) {
        std::size_t found = 0;
        for (std::size_t at = log.find(line); at != std::string::npos; at = log.find(line, at + 1))
            ++found;
        return found;
    };
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    for (;;) {
        std::ifstream in(LogFile(), std::ios::binary);
        const std::string log((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        const std::size_t ended = count(log, "Connection closed") + count(log, "Connection reset");
        if (ended >= count(log, "accepted connection from") || std::chrono::steady_clock::now() > deadline)
            return log;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
}

StunnelServer::~StunnelServer()
{
    StopServer(m_pid);
}
