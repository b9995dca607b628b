// cli/common/: what every layer of the command line shares. May include device/
// and messages/ only.
//
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

// provision --jobs: rows at work at once. Each is a thread with its port;
// a thousand is more than any bench holds.
inline constexpr unsigned DefaultJobs = 64;
inline constexpr unsigned MaxJobs = 1024;

// configure without --auth: the device keeps its authentication setting,
// as the window's OK does when neither button was clicked.
inline constexpr int KeepDeviceAuth = -1;

struct CliOptions {
    CommandKind command = CommandKind::Help;
    CommandKind helpFor = CommandKind::Help;      // help: the command asked about, Help for all of them
    bool fullHelp = false;                        // help all: every command, option, file and exit code
    std::string port;                             // query, configure: the one port
    std::vector<std::string> ports;               // scan --probe: ports to probe instead of the listed ones
    bool json = false;                            // query, scan, provision
    bool probe = false;                           // scan
    int auth = KeepDeviceAuth;                    // configure: 1 for --auth on, 0 for off
    bool hasPin = false;                          // configure: --pin given
    std::string pin;                              // configure: the new PIN, never empty when given
    int randomPinDigits = 0;                      // configure --pin random[:N]: draw a PIN of N digits
    std::string pinFile;                          // configure: --pin-file, "-" for standard input
    bool pinPrompt = false;                       // configure: the PIN typed on the terminal
    bool verify = false;                          // configure, provision: read the device again after the write
    unsigned verifyWaitMs = DefaultVerifyWaitMs;  // configure, provision: the pause before that read
    std::string plan;                             // provision: the plan file, "-" for standard input
    std::string transcript;                       // query, configure, scan --probe, provision: empty for none
    unsigned jobs = DefaultJobs;                  // provision: rows at work at once
    bool check = false;                           // provision: read every device, write nothing
    bool quiet = false;                           // provision: no progress line, no summary
    std::string record;                           // configure, provision: the record to append to, or empty
    bool resume = false;                          // provision: go on with the record's last run of the plan
    std::string tlsCa;                            // the +tls addresses: --tls-ca FILE, empty for none
    std::string tlsFingerprint;                   // --tls-fingerprint as 32 bytes, empty for none
    std::string tlsCert;                          // --tls-cert FILE, empty for none
    std::string tlsKey;                           // --tls-key FILE, empty for none
    // The TLS file options that TOLVANE_TLS_* filled, not the command line:
    // a command without a TLS address leaves them out instead of refusing.
    std::vector<std::string CliOptions::*> tlsFromEnvironment;
};

// "on" is 1 and "off" is 0, as --auth takes them.
bool ParseAuthWord(const std::string& word, int& auth);

// A plan's auth column, as spreadsheets write it too: on, off, 1 or 0, in
// any case.
bool ParsePlanAuth(const std::string& word, int& auth);
