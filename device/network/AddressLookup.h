// The endpoints that network addresses reach, looked up once for many
// addresses (a plan's rows, the ports of a probe), so that two spellings of
// one server port (127.0.0.1 and localhost, [::1] and [0:0:0:0:0:0:0:1])
// are known as one before any port is opened.
#pragma once

#include "Deadline.h"
#include "PortAddress.h"

#include <string>
#include <vector>

// Looks up the hosts of every socket:// and rfc2217:// address at once, each
// host once, all by `deadline`, and keeps each result in its address
// (PortAddress::lookedUp): opening the port then looks nothing up again.
void LookUpAddresses(const std::vector<PortAddress*>& addresses, Deadline deadline);

// The endpoints an address reaches, one text for each: its kind, a numeric
// address and the TCP port for a looked-up network address; its label
// otherwise. Two addresses that share one reach the same port.
std::vector<std::string> EndpointsOf(const PortAddress& address);

// The numeric addresses a network port connects to, in order: those of the
// lookup made for many addresses at once, or of one made now, by `deadline`.
// Ok, or OpenFailed with the lookup's reason.
PortResult AddressesToTry(const PortAddress& address, Deadline deadline, std::vector<std::string>& found);
