// Takes a Telnet stream apart, byte by byte: the data bytes (with IAC IAC
// as one 0xFF), the option negotiations (WILL, WONT, DO, DONT and an option),
// and the subnegotiations (IAC SB ... IAC SE). Other commands (NOP, GA...)
// are dropped. It holds at most one subnegotiation, bounded: a server that
// never ends one costs MaxSubnegotiation bytes, not more.
#pragma once

#include <cstddef>
#include <string>

namespace Telnet {
constexpr unsigned char Iac = 255;
constexpr unsigned char Dont = 254;
constexpr unsigned char Do = 253;
constexpr unsigned char Wont = 252;
constexpr unsigned char Will = 251;
constexpr unsigned char Sb = 250;
constexpr unsigned char Se = 240;

constexpr unsigned char Binary = 0;
constexpr unsigned char SuppressGoAhead = 3;
constexpr unsigned char ComPortOption = 44;
}  // namespace Telnet

enum class TelnetEventKind { None, Data, Negotiation, Subnegotiation };

struct TelnetEvent {
    TelnetEventKind kind = TelnetEventKind::None;
    unsigned char byte = 0;    // Data: the byte; Negotiation: WILL, WONT, DO or DONT
    unsigned char option = 0;  // Negotiation: the option
};

class TelnetDecoder {
public:
    // A subnegotiation longer than this is cut to it and marked truncated.
    static constexpr std::size_t MaxSubnegotiation = 64;

    // One byte from the network, and what it completed.
    TelnetEvent Feed(unsigned char byte);

    // The last complete subnegotiation's bytes between IAC SB and IAC SE
    // (the option first), unescaped.
    const std::string& Subnegotiation() const { return m_subnegotiation; }
    bool SubnegotiationTruncated() const { return m_truncated; }

    // Back to the start of a stream, as after a new connection.
    void Reset();

private:
    enum class State { Data, Command, Option, Sub, SubIac };

    State m_state = State::Data;
    unsigned char m_verb = 0;
    std::string m_subnegotiation;
    bool m_truncated = false;
};
