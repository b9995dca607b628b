// The report of provision: one line per row of the plan, printed as the row
// ends. A report is a log that people keep, so the only PIN it holds is one
// drawn at random, which nothing else tells (--check shows the PINs it read,
// as query does).
//
// Text: a header line naming the columns, then tab-separated columns at
// fixed places, empty where unknown and left out when empty at the end: the
// port, the status, the firmware, the name, the authentication before and
// after, the exit code configure would have given, the PIN drawn, and the
// reason of a failure. --check has the PIN before and after in place of the
// PIN drawn. --json: one object per line with the header's names as keys,
// unknown ones left out, and no header.
#pragma once

#include "steps/ConfigureSteps.h"

#include <string>

// The status of a row that --resume skipped, as it succeeded in an earlier
// run of the plan.
inline constexpr char DoneEarlierStatus[] = "done-earlier";
// --check: whether the row would change the device.
inline constexpr char WouldChangeStatus[] = "would-change";
inline constexpr char UnchangedStatus[] = "unchanged";
// A failure without a word of its own: a random PIN that could not be
// drawn, a record entry that could not be written.
inline constexpr char FailedStatus[] = "failed";

struct ProvisionRowResult {
    std::string port;  // as the plan names it
    int requestedAuth = 0;
    ConfigureReport report;
    std::string pinDrawn;  // the random PIN sent (whole or not: it may be on the device), or empty
    // --check: nothing was written, and the PIN the device would get
    bool check = false;
    std::string pinAfter;
    bool doneEarlier = false;  // --resume: skipped, nothing was done to the device
};

// "verified", "configured", "not-verified", "refused", "write-failed", or the
// probe's word for a read that failed ("no-answer", "cannot-open", ...);
// --check tells "would-change" from "unchanged".
std::string ProvisionStatusWord(const ProvisionRowResult& result);

std::string ProvisionHeaderLine(bool check);
std::string FormatProvisionLine(const ProvisionRowResult& result, bool json);
