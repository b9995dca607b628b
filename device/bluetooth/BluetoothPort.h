// device/bluetooth/: Bluetooth RFCOMM. May include device/network/ and below,
// never device/tls/.
//
// Bluetooth RFCOMM (bt://): BlueZ on Linux, Winsock's AF_BTH on Windows.
// RFCOMM has no line to set: the device's Serial Port service takes the bytes
// as they are. Connecting ends by the set-up deadline; a device that closes
// the connection fails the next read with the reason.
#pragma once

#include "SerialPort.h"

#include <memory>
#include <string>

// An RFCOMM connection to the Bluetooth device `address` ("AA:BB:CC:DD:EE:FF")
// on `channel`, or with 0 on the channel of its Serial Port service.
std::unique_ptr<SerialPort> CreateBluetoothSerialPort(const std::string& address, int channel);
