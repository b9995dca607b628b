// Windows: the registry's list of the serial ports that drivers made, under
// HKEY_LOCAL_MACHINE\HARDWARE\DEVICEMAP\SERIALCOMM: one value per port, named
// after the driver's device object (\Device\Serial0, \Device\BthModem3) and
// holding the port's name (COM3).
#pragma once

#include <string>
#include <vector>

struct SerialCommEntry {
    std::string device;  // the value's name: the driver's device object
    std::string port;    // the value's data: "COM3"
};

// Every string value of the key; none when the key is missing, as it is on a
// machine without serial hardware.
std::vector<SerialCommEntry> ReadSerialCommEntries();
