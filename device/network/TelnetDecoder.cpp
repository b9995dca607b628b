#include "TelnetDecoder.h"

namespace {

bool IsNegotiationVerb(unsigned char byte)
{
    return byte >= Telnet::Will && byte <= Telnet::Dont;
}

}  // namespace

void TelnetDecoder::Reset()
{
    m_state = State::Data;
    m_verb = 0;
    m_subnegotiation.clear();
    m_truncated = false;
}

TelnetEvent TelnetDecoder::Feed(unsigned char byte)
{
    TelnetEvent event;
    switch (m_state) {
        case State::Data:
            if (byte == Telnet::Iac) {
                m_state = State::Command;
                return event;
            }
            event.kind = TelnetEventKind::Data;
            event.byte = byte;
            return event;
        case State::Command:
            if (byte == Telnet::Iac) {  // an escaped data byte 0xFF
                m_state = State::Data;
                event.kind = TelnetEventKind::Data;
                event.byte = byte;
            } else if (IsNegotiationVerb(byte)) {
                m_verb = byte;
                m_state = State::Option;
            } else if (byte == Telnet::Sb) {
                m_subnegotiation.clear();
                m_truncated = false;
                m_state = State::Sub;
            } else {
                m_state = State::Data;  // NOP, GA, a stray SE...: nothing for us
            }
            return event;
        case State::Option:
            m_state = State::Data;
            event.kind = TelnetEventKind::Negotiation;
            event.byte = m_verb;
            event.option = byte;
            return event;
        case State::Sub:
            if (byte == Telnet::Iac)
                m_state = State::SubIac;
            else if (m_subnegotiation.size() < MaxSubnegotiation)
                m_subnegotiation += static_cast<char>(byte);
            else
                m_truncated = true;
            return event;
        case State::SubIac:
            if (byte == Telnet::Se) {
                m_state = State::Data;
                event.kind = TelnetEventKind::Subnegotiation;
                return event;
            }
            // IAC IAC is a 0xFF of the subnegotiation; anything else after
            // IAC inside one is out of place and dropped.
            m_state = State::Sub;
            if (byte == Telnet::Iac) {
                if (m_subnegotiation.size() < MaxSubnegotiation)
                    m_subnegotiation += static_cast<char>(byte);
                else
                    m_truncated = true;
            }
            return event;
    }
    return event;
}
