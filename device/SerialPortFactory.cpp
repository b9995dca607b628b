#include "SerialPortFactory.h"

#include "NetworkPorts.h"
#include "Rfc2217Port.h"

std::unique_ptr<SerialPort> CreateSerialPort(const PortAddress& address)
{
    switch (address.kind) {
        case AddressKind::Serial:
            return CreateSystemSerialPort();
        case AddressKind::Socket:
            return CreateSocketSerialPort(address.host, address.tcpPort);
        case AddressKind::Rfc2217:
            return std::make_unique<Rfc2217Port>(CreateSocketSerialPort(address.host, address.tcpPort));
        case AddressKind::Bluetooth:
            return CreateBluetoothSerialPort(address.bluetooth, address.channel);
    }
    return CreateSystemSerialPort();
}
