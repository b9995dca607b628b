#include "TlsBench.h"

#include "RunProcess.h"
#include "Ser2netServer.h"

#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <vector>

namespace {

constexpr int OpensslWait = 30000;

void Openssl(const std::vector<std::string>& args)
{
    const ProcessResult run = RunProcess("/usr/bin/openssl", args, OpensslWait);
    if (run.exitCode != 0)
        throw std::runtime_error("openssl " + args.front() + " failed: " + run.err + run.startError);
}

// How `openssl req` makes a new key: P-256 is quick to make; RSA is what
// Wine's crypt32 takes from a PKCS#12 file.
const std::vector<std::string> EcKey = {"-newkey", "ec", "-pkeyopt", "ec_paramgen_curve:prime256v1"};
const std::vector<std::string> RsaKey = {"-newkey", "rsa:2048"};

void Openssl(std::vector<std::string> args, const std::vector<std::string>& key)
{
    args.insert(args.begin() + 1, key.begin(), key.end());
    Openssl(args);
}

// A new key and a self-signed certificate for `subject`.
void SelfSigned(const std::string& folder, const std::string& name, const std::string& subject)
{
    Openssl({"req", "-x509", "-nodes", "-keyout", folder + "/" + name + ".key", "-out", folder + "/" + name + ".pem",
             "-days", "2", "-subj", subject},
            EcKey);
}

}  // namespace

TestCertificates::TestCertificates()
{
    SelfSigned(Folder(), "ca", "/CN=Tolvane Test Bench CA");
    SelfSigned(Folder(), "stranger-ca", "/CN=Another Authority");
    Issue("server", "DNS:localhost,IP:127.0.0.1", "2", "ca", EcKey);
    Issue("expired", "DNS:localhost,IP:127.0.0.1", "-1", "ca", EcKey);
    Issue("other", "DNS:bench-b.invalid", "2", "ca", EcKey);
    Issue("client", "DNS:bench-client.invalid", "2", "ca", RsaKey);
    Issue("stranger", "DNS:localhost,IP:127.0.0.1", "2", "stranger-ca", RsaKey);
    for (const char* name : {"client", "stranger"}) {
        Openssl({"pkcs12", "-export", "-in", Certificate(name), "-inkey", Key(name), "-out", Pkcs12(name), "-passout",
                 "pass:"});
    }
}

// `days` -1 ends the validity a day before it starts: expired now.
void TestCertificates::Issue(const std::string& name, const std::string& altNames, const std::string& days,
                             const std::string& issuer, const std::vector<std::string>& key)
{
    const std::string base = m_folder.File(name);
    const std::string extensions = base + ".ext";
    std::ofstream(extensions) << "subjectAltName=" << altNames << "\n";
    Openssl({"req", "-nodes", "-keyout", base + ".key", "-out", base + ".csr", "-subj", "/CN=" + name}, key);
    Openssl({"x509", "-req", "-in", base + ".csr", "-CA", Certificate(issuer), "-CAkey", Key(issuer), "-CAcreateserial",
             "-out", base + ".pem", "-days", days, "-extfile", extensions});
    std::filesystem::permissions(base + ".key",
                                 std::filesystem::perms::owner_read | std::filesystem::perms::owner_write);
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

StunnelServer::StunnelServer(const TestCertificates& certificates, unsigned short plainPort) : m_port(FreeTcpPort())
{
    const std::string config = m_folder.File("stunnel.conf");
    std::ofstream(config) << "foreground = yes\npid =\n[bench]\naccept = 127.0.0.1:" << m_port
                          << "\nconnect = 127.0.0.1:" << plainPort << "\ncert = " << certificates.Certificate("server")
                          << "\nkey = " << certificates.Key("server") << "\nCAfile = " << certificates.CaCertificate()
                          << "\nverifyChain = yes\nrequireCert = yes\n";
    m_pid = StartListeningServer("stunnel4", {config}, m_port, m_folder.File("stunnel.log"));
}

StunnelServer::~StunnelServer()
{
    StopServer(m_pid);
}
