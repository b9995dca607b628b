// device/factory/: from an address to its port, over every kind of port. May
// include every folder of device/.
//
// The one way from an address to its port: the back end of its kind, ready
// to open with SerialPort::Open(address.target). A new kind of port is one
// case here, one back end and one parser case in PortAddress.cpp.
#pragma once

#include "PortAddress.h"
#include "SerialPort.h"

#include <memory>
#include <string>

std::unique_ptr<SerialPort> CreateSerialPort(const PortAddress& address);

// Parses the certificates and key of `settings` once, for every "+tls"
// port made with them: "" when they can be used, else what is wrong with
// them (TlsReasons.h).
std::string PrepareTlsSettings(TlsSettings& settings);
