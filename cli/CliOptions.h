// The command line of tolvane-cli, parsed into what the commands need. Parsing
// only checks the shape of the line; port names are checked by the commands,
// which know the platform's rules (PortName.h).
#pragma once

#include <string>
#include <vector>

enum class CommandKind { Help, Version, Query, Configure, Scan, Provision };

// A device needs a moment after a configure command before it answers with
// its new settings; the longest pause that may be asked for is a minute.
inline constexpr unsigned DefaultVerifyWaitMs = 200;
inline constexpr unsigned MaxVerifyWaitMs = 60000;

struct CliOptions {
    CommandKind command = CommandKind::Help;
    std::string port;                             // query, configure: the one port
    std::vector<std::string> ports;               // scan --probe: ports to probe instead of the listed ones
    bool json = false;                            // query, scan, provision
    bool probe = false;                           // scan
    int auth = 0;                                 // configure: 1 for --auth on, 0 for off
    bool hasPin = false;                          // configure: --pin given
    std::string pin;                              // configure: the new PIN, never empty when given
    std::string pinFile;                          // configure: --pin-file, "-" for standard input
    bool verify = false;                          // configure, provision: read the device again after the write
    unsigned verifyWaitMs = DefaultVerifyWaitMs;  // configure, provision: the pause before that read
    std::string plan;                             // provision: the plan file, "-" for standard input
    std::string transcript;                       // query, configure, scan --probe, provision: empty for none
    std::string tlsCa;                            // the +tls addresses: --tls-ca FILE, empty for none
    std::string tlsFingerprint;                   // --tls-fingerprint as 32 bytes, empty for none
    std::string tlsCert;                          // --tls-cert FILE, empty for none
    std::string tlsKey;                           // --tls-key FILE, empty for none
};

struct ParsedArguments {
    bool ok = false;
    CliOptions options;
    std::string error;  // one line saying what is wrong, when !ok
};

// "on" is 1 and "off" is 0, as --auth and a plan's auth column take them.
bool ParseAuthWord(const std::string& word, int& auth);

// `args` are the arguments after the program name.
ParsedArguments ParseArguments(const std::vector<std::string>& args);
