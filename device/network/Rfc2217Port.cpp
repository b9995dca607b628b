#include "Rfc2217Port.h"

#include <algorithm>
#include <cstdint>

namespace {

// COM-PORT-OPTION commands from the client; the server acknowledges each
// with its code plus 100 and the value it now has.
constexpr unsigned char SetBaudRate = 1;
constexpr unsigned char SetDataSize = 2;
constexpr unsigned char SetParity = 3;
constexpr unsigned char SetStopSize = 4;
constexpr unsigned char SetControl = 5;
constexpr unsigned char PurgeData = 12;
constexpr unsigned char ServerReplyOffset = 100;
// PURGE-DATA's value that empties the server's buffer of what the device
// sent (the access server's receive buffer).
constexpr unsigned char PurgeReceiveBuffer = 1;

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

const LineSetting Purge = {PurgeData, "PURGE-DATA", std::string(1, static_cast<char>(PurgeReceiveBuffer))};

std::string ComPortCommand(const LineSetting& setting)
{
    std::string command{static_cast<char>(Telnet::Iac), static_cast<char>(Telnet::Sb),
                        static_cast<char>(Telnet::ComPortOption), static_cast<char>(setting.command)};
    command += Escaped(setting.value);
    command += static_cast<char>(Telnet::Iac);
    command += static_cast<char>(Telnet::Se);
    return command;
}

// Some servers add bytes after the value of an acknowledgement; a value
// that starts with the one sent is that value.
bool Acknowledges(const std::string& value, const std::string& sent)
{
    return value.compare(0, sent.size(), sent) == 0;
}

PortResult SetupFailure(const std::string& reason)
{
    return PortFailed(LinkResult::SetupFailed, PortOperation::Setup, 0, reason);
}

// A connection that ended during the set-up could not open the server's
// port: the server's own words are the reason when it sent any.
PortResult ServerClosed(const PortResult& read, const std::string& text)
{
    if (read.fault == PortFault::Closed || !text.empty())
        return PortClosed(LinkResult::OpenFailed, PortOperation::Open, FarSideReason(text));
    PortResult failed = read;
    failed.outcome = LinkResult::OpenFailed;
    failed.operation = PortOperation::Open;
    return failed;
}

}  // namespace

Rfc2217Port::Rfc2217Port(std::unique_ptr<SerialPort> connection, std::function<void(const std::string&)> note)
    : ForwardingPort(std::move(connection)),
      m_note(std::move(note)),
      m_options{
          {Telnet::Binary, "BINARY", true, true, true},
          {Telnet::SuppressGoAhead, "SUPPRESS-GO-AHEAD", false, true, true},
          {Telnet::ComPortOption, "COM-PORT-OPTION", true, true, false},
      }
{}

const Rfc2217Port::Option* Rfc2217Port::FindOption(unsigned char code) const
{
    for (const Option& option : m_options) {
        if (option.code == code)
            return &option;
    }
    return nullptr;
}

PortResult Rfc2217Port::Open(const std::string& path, Deadline setUpBy)
{
    Close();
    const PortResult connected = Inner().Open(path, setUpBy);
    if (!connected.Ok())
        return connected;
    const PortResult negotiated = Negotiate(setUpBy);
    if (negotiated.outcome == LinkResult::OpenFailed)  // leaves no port, as any failed open
        Close();
    return negotiated;
}

void Rfc2217Port::Close()
{
    Inner().Close();
    m_decoder.Reset();
    m_input.clear();
    m_inputNext = 0;
}

PortResult Rfc2217Port::SendCommand(const std::string& bytes)
{
    const PortResult sent = Inner().Write(bytes.data(), bytes.size());
    if (sent.Ok() && sent.count != bytes.size())
        return SetupFailure("the server took only part of a Telnet command");
    return sent;
}

// The options we use are asked for once, and the server's answers to them
// are only noted, never answered again, so that the two sides never loop;
// requests for anything else are declined. A required option refused fails
// the set-up.
PortResult Rfc2217Port::Answer(const TelnetEvent& event)
{
    if (event.kind != TelnetEventKind::Negotiation)
        return PortSucceeded(PortOperation::Setup);
    const Option* option = FindOption(event.option);
    const bool forOurSide = event.byte == Telnet::Do || event.byte == Telnet::Dont;
    if (option == nullptr || !(forOurSide ? option->local : option->remote)) {
        if (event.byte == Telnet::Do)
            return SendCommand(Negotiation(Telnet::Wont, event.option));
        if (event.byte == Telnet::Will)
            return SendCommand(Negotiation(Telnet::Dont, event.option));
        return PortSucceeded(PortOperation::Setup);
    }
    const bool enabled = event.byte == Telnet::Do || event.byte == Telnet::Will;
    if (!enabled && option->required)
        return SetupFailure(option->code == Telnet::ComPortOption ? std::string("the server refuses COM port control")
                                                                  : std::string("the server refuses ") + option->name);
    return PortSucceeded(PortOperation::Setup);
}

TelnetEvent Rfc2217Port::KeepData(unsigned char byte)
{
    const TelnetEvent event = m_decoder.Feed(byte);
    if (event.kind == TelnetEventKind::Data && m_input.size() < MaxDiscardedInput)
        m_input += static_cast<char>(event.byte);
    return event;
}

PortResult Rfc2217Port::Take(unsigned char byte, TelnetEvent& event)
{
    event = KeepData(byte);
    return Answer(event);
}

// A write during the set-up failed: the server has gone, perhaps with words
// that are still to be read.
PortResult Rfc2217Port::ServerGone(const PortResult& failedWrite)
{
    std::string rest;
    Inner().DiscardInput(rest);
    for (char c : rest)
        KeepData(static_cast<unsigned char>(c));
    return ServerClosed(failedWrite, m_input);
}

PortResult Rfc2217Port::Negotiate(Deadline deadline)
{
    std::string request;
    for (const Option& option : m_options) {
        if (option.local)
            request += Negotiation(Telnet::Will, option.code);
        if (option.remote)
            request += Negotiation(Telnet::Do, option.code);
    }
    for (const LineSetting& setting : LineSettings)
        request += ComPortCommand(setting);
    request += ComPortCommand(Purge);
    const PortResult sent = SendCommand(request);
    if (sent.outcome == LinkResult::SetupFailed)
        return sent;
    if (!sent.Ok())
        return ServerGone(sent);

    bool acknowledged[LineSettingCount] = {};
    std::size_t waiting = LineSettingCount;
    bool purged = false;
    while (waiting > 0 || !purged) {
        char byte = 0;
        // A server that keeps talking is stopped by the clock, not by silence.
        const PortResult read = PortClock::now() < deadline ? Inner().ReadByte(byte, deadline)
                                                            : PortTimedOut(LinkResult::Timeout, PortOperation::Read);
        if (read.fault == PortFault::TimedOut) {
            for (std::size_t i = 0; i < LineSettingCount; ++i) {
                if (!acknowledged[i])
                    return SetupFailure(std::string("the server did not acknowledge ") + LineSettings[i].name +
                                        " in time");
            }
            // The line is set: the port works as before the purge was asked.
            if (m_note)
                m_note(
                    "the server did not answer PURGE-DATA within the set-up wait: what it held from the device "
                    "before this connection may still come");
            return PortSucceeded(PortOperation::Open);
        }
        if (!read.Ok())  // the server closed or reset the connection
            return ServerClosed(read, m_input);
        TelnetEvent event;
        const PortResult taken = Take(static_cast<unsigned char>(byte), event);
        if (taken.outcome == LinkResult::SetupFailed)
            return taken;
        if (!taken.Ok())  // an answer could not go out
            return ServerGone(taken);
        if (event.kind != TelnetEventKind::Subnegotiation || m_decoder.SubnegotiationTruncated())
            continue;
        const std::string& sub = m_decoder.Subnegotiation();
        if (sub.size() < 2 || static_cast<unsigned char>(sub[0]) != Telnet::ComPortOption)
            continue;
        const unsigned char code = static_cast<unsigned char>(sub[1]);
        // Everything the device sent before the purge was done came before
        // this connection asked anything: it stays as input to discard.
        purged = purged || code == PurgeData + ServerReplyOffset;
        for (std::size_t i = 0; i < LineSettingCount; ++i) {
            if (code != LineSettings[i].command + ServerReplyOffset || acknowledged[i])
                continue;
            if (!Acknowledges(sub.substr(2), LineSettings[i].value))
                return SetupFailure(std::string("the server refused ") + LineSettings[i].name);
            acknowledged[i] = true;
            --waiting;
        }
    }
    return PortSucceeded(PortOperation::Open);
}

// The count reports the caller's bytes: all of them when the whole escaped
// buffer went out, else those whose bytes all went out. A write that stops
// between the two bytes of a doubled 0xFF would leave a lone IAC, and the
// server would read the next byte as a command: the second one is sent
// after it, alone.
PortResult Rfc2217Port::Write(const void* data, std::size_t length)
{
    const std::string bytes(static_cast<const char*>(data), length);
    const std::string escaped = Escaped(bytes);
    PortResult written = Inner().Write(escaped.data(), escaped.size());
    if (!written.Ok() || written.count >= escaped.size()) {
        written.count = written.Ok() ? length : 0;
        return written;
    }
    std::size_t sent = 0, taken = 0;
    for (char c : bytes) {
        const std::size_t size = static_cast<unsigned char>(c) == Telnet::Iac ? 2 : 1;
        if (sent + size > written.count) {
            if (sent + 1 == written.count && size == 2) {  // inside a doubled 0xFF
                const char iac = static_cast<char>(Telnet::Iac);
                const PortResult rest = Inner().Write(&iac, 1);
                if (!rest.Ok() || rest.count != 1)
                    return PortFailed(LinkResult::WriteFailed, PortOperation::Write, rest.systemError,
                                      rest.systemText.empty() ? "the server stopped taking data inside an escaped 0xFF"
                                                              : rest.systemText);
                ++taken;
            }
            break;
        }
        sent += size;
        ++taken;
    }
    written.count = taken;
    return written;
}

// Waits for the next data byte as a serial port waits for one, until `by`
// and never longer than a byte's wait; Telnet commands on the way neither
// count as a byte nor restart the wait.
PortResult Rfc2217Port::ReadByte(char& byte, Deadline by)
{
    if (!IsOpen())
        return PortTimedOut(LinkResult::Timeout, PortOperation::Read);
    const Deadline deadline = Earlier(by, DeadlineAfter(PortReadByteWait));
    while (m_inputNext >= m_input.size()) {
        m_input.clear();
        m_inputNext = 0;
        if (PortClock::now() >= deadline)  // a server that only ever sends commands
            return PortTimedOut(LinkResult::Timeout, PortOperation::Read);
        char received = 0;
        PortResult read = Inner().ReadByte(received, deadline);
        if (read.Ok()) {
            TelnetEvent event;
            read = Take(static_cast<unsigned char>(received), event);
        }
        if (!read.Ok()) {
            read.outcome = LinkResult::Timeout;  // the server's failures read as a port's failed read
            read.operation = PortOperation::Read;
            read.count = 0;
            return read;
        }
    }
    byte = m_input[m_inputNext++];
    return PortSucceeded(PortOperation::Read, 1);
}

// What the server passed on before it was asked: data kept from the
// negotiation, then what the connection holds, taken apart (and its
// requests answered) without waiting.
PortResult Rfc2217Port::DiscardInput(std::string& discarded)
{
    discarded.assign(m_input, m_inputNext, std::string::npos);
    m_input.clear();
    m_inputNext = 0;
    std::string raw;
    PortResult taken = Inner().DiscardInput(raw);
    for (char c : raw) {
        TelnetEvent event;
        const PortResult answered = Take(static_cast<unsigned char>(c), event);
        if (taken.Ok() && !answered.Ok())
            taken = answered;
    }
    discarded += m_input;
    m_input.clear();
    if (taken.Ok())
        taken.count = discarded.size();
    else if (taken.fault == PortFault::Closed)  // the server's words, without its Telnet commands
        taken.systemText = FarSideReason(discarded);
    taken.operation = PortOperation::Discard;
    return taken;
}
