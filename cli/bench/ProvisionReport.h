// The report of provision: one line per row of the plan, printed as the row
// ends. A report is a log that people keep, so the only PIN it holds is one
// drawn at random, which nothing else tells (--check shows the PINs it read,
// as query does).
//
// Text: a header line naming the columns, then tab-separated columns (on a
// terminal, aligned with spaces) at fixed places, empty where unknown and
// left out when empty at the end: the port, the status, the firmware, the
// name, the authentication before and after, the exit code configure would
// have given, the PIN drawn, and the reason of a failure. --check has the
// PIN before and after in place of the PIN drawn. --json: one object per
// line with the header's names as keys, unknown ones left out, and no
// header.
#pragma once

#include "common/JsonLine.h"
#include "steps/ConfigureSteps.h"

#include <string>
#include <utility>
#include <vector>

// The status of a row that --resume skipped, as it succeeded in an earlier
// run of the plan.
inline constexpr char DoneEarlierStatus[] = "done-earlier";
// A row whose device another run of provision set up with the same request
// while this one was at work: it was not written again.
inline constexpr char DoneElsewhereStatus[] = "done-elsewhere";
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
    // The plan's other columns (PlanRow's), carried so that a bench can join
    // each device's line with its own numbers.
    std::vector<std::pair<std::string, std::string>> columns;
};

// The plan's other columns as one object "columns" of `entry`, by their
// header names: nested, so that no name of a plan's can stand for one of
// the report's or the record's keys.
void AddPlanColumns(Json& entry, const std::vector<std::pair<std::string, std::string>>& columns);

// "verified", "configured", "not-verified", "refused", "write-failed", or the
// probe's word for a read that failed ("no-answer", "cannot-open", ...);
// --check tells "would-change" from "unchanged".
std::string ProvisionStatusWord(const ProvisionRowResult& result);

// The text report's header: its columns' names, then the plan's other
// columns'. `aligned` (standard output is a terminal): padded into columns
// of fixed widths, the same for every line of the run.
std::string ProvisionHeaderLine(bool check, const std::vector<std::string>& otherColumns, bool aligned = false);
std::string FormatProvisionLine(const ProvisionRowResult& result, bool json, bool aligned = false);
