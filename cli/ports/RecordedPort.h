// The Bluetooth address of the device behind a port, for the record: a
// bt:// address names it; a serial port of this machine tells it where it
// is a Bluetooth link (PortDetails.h: /dev/rfcommN's binding, a Windows
// Bluetooth COM port's device instance). Empty where nothing tells it.
#pragma once

#include "PortAddress.h"
#include "system/PortDetails.h"

#include <functional>
#include <string>
#include <vector>

using PortDescriber = std::function<std::vector<PortDetails>(const std::vector<std::string>&)>;

std::string BluetoothAddressOf(const std::string& port, const PortAddress& address, const PortDescriber& describe);
