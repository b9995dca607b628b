// Name lookup for the network ports, bounded by the set-up deadline: the
// system's resolver has no deadline of its own (one silent name server costs
// it 5 s, three of them 28 s).
#pragma once

#include "Deadline.h"
#include "PortResult.h"

#include <string>
#include <vector>

// The reason when the lookup had no answer by its deadline.
inline constexpr char NoLookupAnswer[] = "The name service did not answer in time";

// The addresses of `host` (a name or a numeric address) for TCP, in their
// numeric forms ("127.0.0.1", "::1") and in the order to try them: Ok, or
// OpenFailed with the reason (no such name, no answer by `deadline`).
PortResult LookUpHost(const std::string& host, Deadline deadline, std::vector<std::string>& addresses);
