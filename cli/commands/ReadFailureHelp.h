// What a failed read of one port (query, configure) tells the user beyond
// the window's words: the port named when it is no serial port at all, and
// what they can do next, as hint lines.
#pragma once

#include "output/LinkOutcome.h"
#include "LinkResult.h"
#include "PortAddress.h"
#include "ports/PortName.h"

#include <functional>
#include <string>
#include <vector>

struct ReadFailure {
    std::string port;  // as the user named it
    PortAddress address;
    LinkResult result = LinkResult::OpenFailed;
};

// `outcome`, its message replaced by "PORT is not a serial port." where the
// port took no line settings because it is a file or a device that is no
// terminal (/dev/null).
Outcome ExplainReadFailure(const ReadFailure& failure, Outcome outcome);

// The hints, each without HintPrefix; none where the system gives nothing to
// act on. `listPorts` gives the ports that tolvane-cli scan finds; it is
// asked only for a port that does not exist.
std::vector<std::string> ReadFailureHints(const ReadFailure& failure, PortStyle style,
                                          const std::function<bool(std::vector<std::string>&)>& listPorts);
