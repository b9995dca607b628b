// Every outcome of a command in one table: its exit code, the word scan
// --probe and provision list it with, the message on standard error and its
// line in --help. The window's texts stay in UserMessages.h; the rows point
// at them.
//
// The table is a switch without a default arm, and so are the window's
// switches from a LinkResult to its text (UserMessages.cpp), which the
// command line follows: a new exit code or a new LinkResult does not compile
// (-Werror=switch) until it has its row and its text.
#pragma once

#include "ExitCode.h"
#include "LinkResult.h"

struct OutcomeRow {
    // The status in scan --probe and provision, or null for an outcome that
    // is no port's (a bad command line, a bad plan). A success is "device"
    // in a scan; provision tells "configured" from "verified".
    const char* word;
    // What standard error says, or null where the command words it itself
    // (a bad command line, a plan's line number). Where the row's message is
    // a prefix, the command adds the details after a space.
    const char* message;
    // The code's line in --help, or null where the message says it.
    const char* meaning;
};

OutcomeRow OutcomeRowOf(ExitCode code);

// The exit code of opening a port and reading the device.
ExitCode ReadExitCode(LinkResult result);

// The exit code of writing the configure command to a device already read.
ExitCode ConfigureExitCode(LinkResult result);
