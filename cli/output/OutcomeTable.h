// Every outcome of tolvane-cli, one row each: its exit code, the word scan
// --probe and provision list it with, the message on standard error and its
// line in --help. A row is found by the outcome itself: what reading a device
// or writing the configure command ended with (a LinkResult), a problem of
// the new settings, or one of the command line's own outcomes.
//
// Each of the four is a switch without a default arm: a new LinkResult,
// settings problem or outcome does not compile (-Werror=switch) until it has
// its row. The window's words stay where the window takes them from
// (UserMessages.h): a row of a link result or a settings problem asks the
// window for its text.
#pragma once

#include "common/ExitCode.h"
#include "LinkResult.h"
#include "NewSettings.h"

#include <string>
#include <vector>

// What only the command line tells apart.
enum class CliOutcome {
    Success,
    Failure,          // the ports could not be listed, output failed
    Usage,            // a bad command line or port name
    NoDeviceFound,    // scan --probe
    Verified,         // configure --verify: the device reports the requested settings
    NotVerified,      // configure --verify: it does not
    ProvisionFailed,  // provision: a row did not succeed
    BadPlan,          // provision: nothing was done
    TranscriptFailed,
    Interrupted,  // Ctrl-C or another ending signal
};

struct OutcomeRow {
    ExitCode code;
    // The status in scan --probe and provision, or null for an outcome that
    // is no port's (a bad command line, a bad plan).
    const char* word;
    // What standard error says, or null where the command words it itself
    // (a bad command line, a plan's line number) or says nothing (a
    // success). Where details follow, they come after a space.
    const char* message;
    // The code's line in --help, or null where the message says it.
    const char* meaning;
};

// Opening a port and reading the device behind it (query, configure's first
// step, scan --probe).
OutcomeRow ReadRow(LinkResult result);
// Writing the configure command to a device already read.
OutcomeRow WriteRow(LinkResult result);
// A new configuration the checks refuse (None: they pass).
OutcomeRow SettingsRow(SettingsProblem problem);
OutcomeRow CliRow(CliOutcome outcome);

// One row per exit code, in the order of the codes: each code's first row,
// the command line's own rows first. For --help and the manual.
std::vector<OutcomeRow> RowsByCode();

// The code's line in --help and the manual: its meaning, else its message.
const char* HelpLine(const OutcomeRow& row);

// The distinct status words of scan --probe, and of provision's failed rows,
// in the order of their rows.
std::vector<std::string> ProbeWords();
std::vector<std::string> ProvisionWords();

// "15" for an outcome's exit code, as the help's prose quotes it.
std::string ExitNumber(CliOutcome outcome);
