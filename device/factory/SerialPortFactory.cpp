#include "SerialPortFactory.h"

#include "bluetooth/BluetoothPort.h"
#include "network/PlainStream.h"
#include "network/Rfc2217Port.h"
#include "network/SocketPort.h"
#include "tls/TlsStream.h"

#include <chrono>

namespace {

// How long a raw TCP server is given after the connection to send what it
// sends on its own (a banner; a late answer to an earlier client of a server
// that keeps its serial port open), so that it is discarded, never read as
// the answer to the query. Long enough for a server on the same network to
// be scheduled, short beside the device's own answer time.
constexpr std::chrono::milliseconds SocketGreetingWait{100};

// A TCP connection to the server of `address` (socket:// or rfc2217://), and
// for a "+tls" address TLS on it within the same set-up deadline. The line
// settings are the far side's business: a raw TCP server applies its own.
// With a `greetingWait`, the server's own text is waited for (StreamPort).
std::unique_ptr<SerialPort> CreateServerPort(const PortAddress& address, std::chrono::milliseconds greetingWait)
{
    return std::make_unique<StreamPort>(
        [address](std::unique_ptr<Stream>& stream, Deadline deadline) {
            OwnedSocket socket;
            const PortResult connected = ConnectToServer(address, deadline, socket);
            if (!connected.Ok())
                return connected;
            if (address.tls)
                return StartTls(std::move(socket), address.host, address.tlsSettings, deadline, stream);
            stream = PlainStream(SocketStream(std::move(socket)));
            return connected;
        },
        greetingWait);
}

}  // namespace

std::unique_ptr<SerialPort> CreateSerialPort(const PortAddress& address)
{
    switch (address.kind) {
        case AddressKind::Serial:
            return CreateSystemSerialPort();
        case AddressKind::Socket:
            return CreateServerPort(address, SocketGreetingWait);
        case AddressKind::Rfc2217:
            // The negotiation's round trips give the server's own text time
            // to arrive before the first query: no greeting wait.
            return std::make_unique<Rfc2217Port>(CreateServerPort(address, {}), address.tlsSettings.noteSession);
        case AddressKind::Bluetooth:
            return CreateBluetoothSerialPort(address.bluetooth, address.channel);
    }
    return CreateSystemSerialPort();
}

std::string PrepareTlsSettings(TlsSettings& settings)
{
    return PrepareTls(settings);
}
