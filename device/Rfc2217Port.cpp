#include "Rfc2217Port.h"

#include <algorithm>
#include <cstdint>

namespace {

using Milliseconds = std::chrono::milliseconds;

// Data that arrives while the line is negotiated, kept for the first reads.
constexpr std::size_t MaxEarlyData = 256;

// COM-PORT-OPTION commands from the client; the server acknowledges each
// with its code plus 100 and the value it now has.
constexpr unsigned char SetBaudRate = 1;
constexpr unsigned char SetDataSize = 2;
constexpr unsigned char SetParity = 3;
constexpr unsigned char SetStopSize = 4;
constexpr unsigned char SetControl = 5;
constexpr unsigned char ServerReplyOffset = 100;

// The device's line: 115200 baud, 8 data bits, parity NONE (1), stop size
// 1 (1), control NONE (1): "8 N 1 N".
constexpr std::uint32_t LineBaudRate = 115200;
constexpr unsigned char LineDataSize = 8;
constexpr unsigned char ParityNone = 1;
constexpr unsigned char OneStopBit = 1;
constexpr unsigned char NoFlowControl = 1;

struct LineSetting {
    unsigned char command;
    const char* name;
    std::string value;  // as sent, big-endian
};

std::string BaudRateValue()
{
    std::string value;
    for (int shift = 24; shift >= 0; shift -= 8)
        value += static_cast<char>((LineBaudRate >> shift) & 0xFF);
    return value;
}

const LineSetting LineSettings[] = {
    {SetBaudRate, "SET-BAUDRATE", BaudRateValue()},
    {SetDataSize, "SET-DATASIZE", std::string(1, static_cast<char>(LineDataSize))},
    {SetParity, "SET-PARITY", std::string(1, static_cast<char>(ParityNone))},
    {SetStopSize, "SET-STOPSIZE", std::string(1, static_cast<char>(OneStopBit))},
    {SetControl, "SET-CONTROL", std::string(1, static_cast<char>(NoFlowControl))},
};
constexpr std::size_t LineSettingCount = sizeof LineSettings / sizeof LineSettings[0];

// The options this client takes on both sides.
bool IsWantedOption(unsigned char option)
{
    return option == Telnet::Binary || option == Telnet::SuppressGoAhead || option == Telnet::ComPortOption;
}

std::string Escaped(const std::string& bytes)
{
    std::string escaped;
    for (char c : bytes) {
        escaped += c;
        if (static_cast<unsigned char>(c) == Telnet::Iac)
            escaped += c;
    }
    return escaped;
}

std::string Negotiation(unsigned char verb, unsigned char option)
{
    return {static_cast<char>(Telnet::Iac), static_cast<char>(verb), static_cast<char>(option)};
}

std::string ComPortCommand(const LineSetting& setting)
{
    std::string command{static_cast<char>(Telnet::Iac), static_cast<char>(Telnet::Sb),
                        static_cast<char>(Telnet::ComPortOption), static_cast<char>(setting.command)};
    command += Escaped(setting.value);
    command += static_cast<char>(Telnet::Iac);
    command += static_cast<char>(Telnet::Se);
    return command;
}

// "5 s", "800 ms".
std::string WaitText(Milliseconds wait)
{
    const auto count = wait.count();
    return count % 1000 == 0 ? std::to_string(count / 1000) + " s" : std::to_string(count) + " ms";
}

PortResult SetupFailure(const std::string& reason)
{
    return PortFailed(LinkResult::SetupFailed, PortOperation::Setup, 0, reason);
}

}  // namespace

Rfc2217Port::Rfc2217Port(std::unique_ptr<SerialPort> connection)
    : m_connection(std::move(connection)), m_readByteWait(PortReadByteWait)
{}

PortResult Rfc2217Port::Open(const std::string& path)
{
    Close();
    const PortResult connected = m_connection->Open(path);
    if (!connected.Ok())
        return connected;
    return Negotiate();
}

void Rfc2217Port::Close()
{
    m_connection->Close();
    m_decoder.Reset();
    m_early.clear();
    m_earlyNext = 0;
}

bool Rfc2217Port::IsOpen() const
{
    return m_connection->IsOpen();
}

PortResult Rfc2217Port::SendCommand(const std::string& bytes)
{
    const PortResult sent = m_connection->Write(bytes.data(), bytes.size());
    if (sent.Ok() && sent.count != bytes.size())
        return SetupFailure("the server took only part of a Telnet command");
    return sent;
}

// Options are asked for once; the server's requests for anything else are
// declined, and its answers to our own requests are not answered again, so
// that the two sides never loop.
PortResult Rfc2217Port::Answer(const TelnetEvent& event)
{
    if (event.kind != TelnetEventKind::Negotiation || IsWantedOption(event.option))
        return PortSucceeded(PortOperation::Setup);
    if (event.byte == Telnet::Do)
        return SendCommand(Negotiation(Telnet::Wont, event.option));
    if (event.byte == Telnet::Will)
        return SendCommand(Negotiation(Telnet::Dont, event.option));
    return PortSucceeded(PortOperation::Setup);
}

PortResult Rfc2217Port::NextEvent(Clock::time_point deadline, TelnetEvent& event)
{
    for (;;) {
        const auto left = std::chrono::ceil<Milliseconds>(deadline - Clock::now()).count();
        if (left <= 0)
            return PortFailed(LinkResult::Timeout, PortOperation::Read);
        m_connection->SetReadTimeout(static_cast<unsigned>(left));
        char byte = 0;
        const PortResult read = m_connection->ReadByte(byte);
        if (!read.Ok())
            return read;
        event = m_decoder.Feed(static_cast<unsigned char>(byte));
        const PortResult answered = Answer(event);
        if (!answered.Ok())
            return answered;
        if (event.kind != TelnetEventKind::None)
            return PortSucceeded(PortOperation::Read, 1);
    }
}

PortResult Rfc2217Port::Negotiate()
{
    std::string request = Negotiation(Telnet::Will, Telnet::Binary) + Negotiation(Telnet::Do, Telnet::Binary) +
                          Negotiation(Telnet::Will, Telnet::SuppressGoAhead) +
                          Negotiation(Telnet::Do, Telnet::SuppressGoAhead) +
                          Negotiation(Telnet::Will, Telnet::ComPortOption);
    for (const LineSetting& setting : LineSettings)
        request += ComPortCommand(setting);
    const PortResult sent = SendCommand(request);
    if (!sent.Ok())
        return sent.outcome == LinkResult::SetupFailed
                   ? sent
                   : PortFailed(LinkResult::SetupFailed, PortOperation::Setup, sent.systemError, sent.systemText);

    // The whole negotiation waits at most about as long as one awaited byte,
    // and no longer than a read would (a probe's second).
    const Milliseconds wait = std::min(PortSetUpWait, m_readByteWait);
    const auto deadline = Clock::now() + wait;
    bool acknowledged[LineSettingCount] = {};
    std::size_t waiting = LineSettingCount;
    while (waiting > 0) {
        TelnetEvent event;
        const PortResult next = NextEvent(deadline, event);
        if (next.outcome == LinkResult::Timeout && next.systemText.empty()) {
            for (std::size_t i = 0; i < LineSettingCount; ++i) {
                if (!acknowledged[i])
                    return SetupFailure(std::string("the server did not acknowledge ") + LineSettings[i].name +
                                        " within " + WaitText(wait));
            }
        }
        if (!next.Ok())
            return PortFailed(LinkResult::SetupFailed, PortOperation::Setup, next.systemError, next.systemText);
        if (event.kind == TelnetEventKind::Data) {
            if (m_early.size() < MaxEarlyData)
                m_early += static_cast<char>(event.byte);
            continue;
        }
        if (event.kind == TelnetEventKind::Negotiation && event.byte == Telnet::Dont &&
            event.option == Telnet::ComPortOption)
            return SetupFailure("the server refuses COM port control");
        if (event.kind != TelnetEventKind::Subnegotiation || m_decoder.SubnegotiationTruncated())
            continue;
        const std::string& sub = m_decoder.Subnegotiation();
        if (sub.size() < 2 || static_cast<unsigned char>(sub[0]) != Telnet::ComPortOption)
            continue;
        const unsigned char code = static_cast<unsigned char>(sub[1]);
        for (std::size_t i = 0; i < LineSettingCount; ++i) {
            if (code != LineSettings[i].command + ServerReplyOffset || acknowledged[i])
                continue;
            if (sub.substr(2) != LineSettings[i].value)
                return SetupFailure(std::string("the server refused ") + LineSettings[i].name);
            acknowledged[i] = true;
            --waiting;
        }
    }
    return PortSucceeded(PortOperation::Open);
}

// The count reports the caller's bytes: all of them when the whole escaped
// buffer went out, else those whose bytes all went out.
PortResult Rfc2217Port::Write(const void* data, std::size_t length)
{
    const std::string bytes(static_cast<const char*>(data), length);
    const std::string escaped = Escaped(bytes);
    PortResult written = m_connection->Write(escaped.data(), escaped.size());
    if (!written.Ok() || written.count >= escaped.size()) {
        written.count = written.Ok() ? length : 0;
        return written;
    }
    std::size_t sent = 0, taken = 0;
    for (char c : bytes) {
        sent += static_cast<unsigned char>(c) == Telnet::Iac ? 2 : 1;
        if (sent > written.count)
            break;
        ++taken;
    }
    written.count = taken;
    return written;
}

// Waits for the next data byte as a serial port waits for one; Telnet
// commands on the way neither count as a byte nor restart the wait.
PortResult Rfc2217Port::ReadByte(char& byte)
{
    if (!IsOpen())
        return PortFailed(LinkResult::Timeout, PortOperation::Read);
    if (m_earlyNext < m_early.size()) {
        byte = m_early[m_earlyNext++];
        return PortSucceeded(PortOperation::Read, 1);
    }
    const auto deadline = Clock::now() + m_readByteWait;
    for (;;) {
        TelnetEvent event;
        PortResult next = NextEvent(deadline, event);
        if (!next.Ok()) {
            next.outcome = LinkResult::Timeout;  // the server's failures read as a port's failed read
            next.operation = PortOperation::Read;
            next.count = 0;
            return next;
        }
        if (event.kind == TelnetEventKind::Data) {
            byte = static_cast<char>(event.byte);
            return PortSucceeded(PortOperation::Read, 1);
        }
    }
}

PortResult Rfc2217Port::SetReadTimeout(unsigned milliseconds)
{
    m_readByteWait = Milliseconds(milliseconds);
    return PortSucceeded(PortOperation::SetReadTimeout, 0);
}
