// cli/commands/: the commands. May include cli/bench/ and below.
//
// The commands of tolvane-cli. Each prints its result on `out`, its messages
// on `err`, and returns the exit code. What they need from the system comes
// through CommandContext, so that tests can run them on a scripted port.
#pragma once

#include "common/CliOptions.h"
#include "common/ExitCode.h"
#include "system/PortDetails.h"
#include "ports/PortName.h"
#include "bench/ProvisionPlan.h"
#include "ReadFailureHelp.h"
#include "SerialPort.h"
#include "factory/SerialPortFactory.h"
#include "system/SerialPortList.h"
#include "system/SystemRandom.h"

#include <functional>
#include <iostream>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

// Set by name: `CommandContext context{out, err};` and then the fields that
// differ from these defaults.
struct CommandContext {
    std::ostream& out;
    std::ostream& err;
    // CreateSerialPort: the back end of the address's kind, not open yet.
    std::function<std::unique_ptr<SerialPort>(const PortAddress&)> makePort = CreateSerialPort;
    std::function<bool(std::vector<std::string>&)> listPorts = ListSystemSerialPorts;
    PortStyle portStyle = SystemPortStyle;
    // DescribeSystemPorts; a test leaves every port "other".
    std::function<std::vector<PortDetails>(const std::vector<std::string>&)> describePorts =
        [](const std::vector<std::string>&) { return std::vector<PortDetails>(); };
    PortIdentifier identifyPort = [](const std::string& path) { return path; };  // PortIdentity
    // What a failed read of one port tells beyond the window's words, from a
    // look at the system (ExplainReadFailure, ReadFailureHints); a test gets
    // the message as it is and no hints.
    std::function<Outcome(const ReadFailure&, Outcome)> explainReadFailure = [](const ReadFailure&, Outcome outcome) {
        return outcome;
    };
    std::function<std::vector<std::string>(const ReadFailure&)> readFailureHints = [](const ReadFailure&) {
        return std::vector<std::string>();
    };
    std::istream* in = &std::cin;             // a plan given as "-"
    RandomSource random = SystemRandomBytes;  // random PINs
    // Where provision redraws its progress line: standard error itself, not
    // `err`, whose message lines are held until their line end; null when
    // standard error is no terminal.
    std::ostream* progress = nullptr;
    // Whether standard output is a terminal, where a person reads the text
    // tables: their columns are aligned with spaces there. A pipe or a file
    // gets them tab-separated, as scripts take them apart.
    bool alignColumns = false;
    std::vector<std::string> arguments = {};  // the command line after the program's name, for a transcript's header
    // TLS options were given on the command line (RunCommand): a plan must
    // then have a TLS row.
    bool tlsOptionsGiven = false;
};

// A probe waits at most ProbeReadTimeoutMs for any one byte (or for a
// network port's connection and set-up), and at most ProbeDeadlineMs from
// the open to the last byte of the answer (ProbeDeadlinePort.h). A device
// answers at once; five seconds per silent port, or per byte, would make a
// scan of many ports crawl.
inline constexpr unsigned ProbeReadTimeoutMs = 1000;
inline constexpr unsigned ProbeDeadlineMs = 2000;

ExitCode RunQuery(const CliOptions& options, CommandContext& context);
ExitCode RunConfigure(const CliOptions& options, CommandContext& context);
ExitCode RunScan(const CliOptions& options, CommandContext& context);
ExitCode RunProvision(const CliOptions& options, CommandContext& context);
