#include "SerialPortFactory.h"

#include "NetworkPorts.h"
#include "Rfc2217Port.h"

std::unique_ptr<SerialPort> CreateSerialPort(const PortAddress& address)
{
    switch (address.kind) {
        case AddressKind::Serial:
            return CreateSystemSerialPort();
        case AddressKind::Socket:
            return CreateSocketSerialPort(address, SocketGreetingWait);
        case AddressKind::Rfc2217:
            // The negotiation's round trips give the server's own text time
            // to arrive before the first query: no greeting wait.
            return std::make_unique<Rfc2217Port>(CreateSocketSerialPort(address, {}));
        case AddressKind::Bluetooth:
            return CreateBluetoothSerialPort(address.bluetooth, address.channel);
    }
    return CreateSystemSerialPort();
}
