// What the TLS tests need beside ser2net: certificates made with the
// openssl command, and stunnel in front of a plain server, which requires a
// client certificate (verifyChain and requireCert, what verify = 2 was).
// Both natively, on 127.0.0.1 only.
#pragma once

#include "TempFolder.h"

#include <string>
#include <sys/types.h>
#include <vector>

// A certificate authority and certificates it issued, in a folder of their
// own that goes with the object. Every key has no passphrase.
class TestCertificates {
public:
    // Throws std::runtime_error when openssl fails.
    TestCertificates();
    TestCertificates(const TestCertificates&) = delete;
    TestCertificates& operator=(const TestCertificates&) = delete;

    // The folder that holds them all; a test's own files there go with it.
    const std::string& Folder() const { return m_folder.Path(); }
    std::string CaCertificate() const { return m_folder.File("ca.pem"); }
    // Each has NAME.pem and NAME.key: "server" (localhost, 127.0.0.1, ::1),
    // "expired" (the same names, valid until yesterday), "other" (only
    // bench-b.invalid), "client", and "stranger" (issued by an authority of
    // its own). Impostors for localhost and 127.0.0.1, issued by the test
    // authority unless said: "cn-only" (CN=localhost, no subjectAltName),
    // "weak-key" (RSA-1024), "sha1" (signed with SHA-1), "impostor" (issued
    // by an authority with the test authority's name and serial number,
    // which NAME.pem holds after it), "under-lapsed" (issued by an expired
    // intermediate, "Lapsed Intermediate", which NAME.pem holds after it).
    // "named" is made out to bench.tolvane.test, "partial-wildcard" to
    // b*.tolvane.test.
    std::string Certificate(const std::string& name) const { return m_folder.File(name + ".pem"); }
    std::string Key(const std::string& name) const { return m_folder.File(name + ".key"); }
    // "client" and "stranger" also have NAME.p12 (no passphrase), which
    // holds the certificate and its key, as Windows takes them.
    std::string Pkcs12(const std::string& name) const { return m_folder.File(name + ".p12"); }
    // What --tls-fingerprint takes for NAME.pem, as openssl prints it.
    std::string Fingerprint(const std::string& name) const;

private:
    // How a certificate is made: its subjectAltName ("" for none), days of
    // validity, issuer, how its key is made (or "-key" FILE), subject
    // ("" for /CN=NAME), digest and one more extension line.
    struct Issued {
        std::string altNames;
        std::string days = "2";
        std::string issuer = "ca";
        std::vector<std::string> key = {"-newkey", "ec", "-pkeyopt", "ec_paramgen_curve:prime256v1"};
        std::string subject;
        std::string digest = "sha256";
        std::string extension;
    };
    void SelfSigned(const std::string& name, const std::string& subject, const std::vector<std::string>& more);
    void Issue(const std::string& name, const std::string& altNames, const std::string& days = "2",
               const std::string& issuer = "ca",
               const std::vector<std::string>& key = {"-newkey", "ec", "-pkeyopt", "ec_paramgen_curve:prime256v1"},
               const std::string& subject = "", const std::string& digest = "sha256",
               const std::string& extension = "");
    void Chain(const std::string& name, const std::string& issuer);
    TempFolder m_folder{"tls-test"};  // first: also removed when the constructor throws
};

// stunnel with the "server" certificate on a free port of 127.0.0.1 (and
// the same port of ::1), in front of 127.0.0.1:`plainPort`, requiring a
// client certificate issued by the test authority. Ended when the object
// goes. With `certificate`: a server that shows that one; with
// `requireClient` false, one that asks for none, at OpenSSL's security
// level 0, which takes a weak key or a SHA-1 signature as its own (ser2net
// refuses to). Its log names each client certificate it received
// ("Certificate accepted at depth=0: CN=client"), and says "TLS closed
// (SSL_read)" of a client that ended with a close_notify.
class StunnelServer {
public:
    StunnelServer(const TestCertificates& certificates, unsigned short plainPort,
                  const std::string& certificate = "server", bool requireClient = true);
    ~StunnelServer();
    StunnelServer(const StunnelServer&) = delete;
    StunnelServer& operator=(const StunnelServer&) = delete;
    unsigned short TcpPort() const { return m_port; }
    // The log once each connection it accepted has ended there (at most
    // 5 s on): stunnel writes it on a thread of its own, after the client
    // may have gone.
    std::string LogOnceServed() const;

private:
    std::string LogFile() const { return m_folder.File("stunnel.log"); }
    TempFolder m_folder{"stunnel"};  // first: also removed when the constructor throws
    unsigned short m_port = 0;
    pid_t m_pid = -1;
};
