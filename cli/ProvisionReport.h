// The report of provision: one line per row of the plan, in its order. A
// report is a log that people keep, so it never holds a PIN.
//
// Text: tab-separated columns at fixed places, empty where unknown: the port,
// the status, the firmware, the name, the authentication before and after,
// and the exit code configure would have given. --json: one object per line
// with the keys port, status, firmware, name, authenticationBefore,
// authenticationAfter and exitCode, unknown ones left out.
#pragma once

#include "ConfigureSteps.h"

#include <string>

// "verified", "configured", "not-verified", "refused", "write-failed", or the
// probe's word for a read that failed ("no-answer", "cannot-open", ...).
const char* ProvisionStatusWord(const ConfigureReport& report);

std::string FormatProvisionLine(const std::string& port, int requestedAuth, const ConfigureReport& report, bool json);
