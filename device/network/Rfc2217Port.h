// A serial port on a Telnet server with the COM Port Control option (RFC
// 2217), over a connection such as a TCP socket port. Opening connects, then
// asks for BINARY both ways, SUPPRESS-GO-AHEAD and COM-PORT-OPTION, and sets
// the server's port to the device's line (115200 baud, 8 data bits, no
// parity, 1 stop bit, no flow control), waiting for each acknowledgement;
// all of it ends by the open's set-up deadline. A server that refuses BINARY
// or COM-PORT-OPTION, or a setting, fails the set-up. Then it asks the
// server to purge what it holds from the device (PURGE-DATA, its receive
// buffer), which a server that keeps its serial port open between clients
// may hold for an earlier one (a late reply); what arrives before the
// server's acknowledgement is input to discard, never an answer. A server
// that does not acknowledge the purge by the deadline is used as it is, and
// the note says so. The data then goes
// through with Telnet's escaping: 0xFF doubled on the way out, IAC IAC as
// one 0xFF on the way in, commands taken out and answered.
#pragma once

#include "ForwardingPort.h"
#include "TelnetDecoder.h"

#include <cstddef>
#include <functional>
#include <memory>
#include <string>

class Rfc2217Port : public ForwardingPort {
public:
    // `connection` carries the bytes as they are (a socket port); `note`,
    // when given, is told of a purge the server left unanswered.
    explicit Rfc2217Port(std::unique_ptr<SerialPort> connection,
                         std::function<void(const std::string&)> note = nullptr);

    PortResult Open(const std::string& path, Deadline setUpBy) override;
    void Close() override;
    PortResult Write(const void* data, std::size_t length) override;
    PortResult ReadByte(char& byte, Deadline by) override;
    PortResult DiscardInput(std::string& discarded) override;

private:
    // An option this client uses, and on which side.
    struct Option {
        unsigned char code;
        const char* name;
        bool required;  // the set-up fails when the server refuses it
        bool local;     // we offer WILL (our side)
        bool remote;    // we ask DO (the server's side)
    };

    PortResult Negotiate(Deadline deadline);
    PortResult ServerGone(const PortResult& failedWrite);
    // Feeds one byte from the network to the decoder and answers what it
    // completed; data bytes are kept in m_input. Not Ok when an answer could not be
    // sent, or the server refused a required option.
    PortResult Take(unsigned char byte, TelnetEvent& event);
    // Feeds one byte to the decoder and keeps it when it is data.
    TelnetEvent KeepData(unsigned char byte);
    PortResult Answer(const TelnetEvent& event);
    PortResult SendCommand(const std::string& bytes);
    const Option* FindOption(unsigned char code) const;

    std::function<void(const std::string&)> m_note;
    TelnetDecoder m_decoder;
    const Option m_options[3];
    // Data bytes that arrived and were not read yet (during the negotiation,
    // or with a discard); bounded, and discarded before each query.
    std::string m_input;
    std::size_t m_inputNext = 0;
};
