// Telnet's bytes, and the RFC 2217 acknowledgements a serial server sends,
// for the tests that play a Telnet server: spelt out here rather than taken
// from the program's own constants, so that a test of the bytes on the wire
// fails when those change.
#pragma once

#include <string>

inline const std::string Iac = "\xff";
inline const std::string Will = Iac + "\xfb", Wont = Iac + "\xfc", Do = Iac + "\xfd", Dont = Iac + "\xfe";
// Options: BINARY, SUPPRESS-GO-AHEAD, COM-PORT-OPTION.
inline const std::string Binary = std::string(1, '\0'), Sga = "\x03", ComPort = "\x2c";
// SET-BAUDRATE's value for 115200 baud.
inline const std::string Baud115200("\x00\x01\xc2\x00", 4);

// The server's acknowledgement of COM-PORT-OPTION command `code` with `value`.
inline std::string Ack(char code, const std::string& value)
{
    return Iac + "\xfa\x2c" + std::string(1, static_cast<char>(code + 100)) + value + Iac + "\xf0";
}

// The server's acknowledgements of a client's set-up for 115200 baud, 8
// data bits, no parity, 1 stop bit, no flow control (SET-BAUDRATE,
// SET-DATASIZE, SET-PARITY, SET-STOPSIZE, SET-CONTROL), each value followed
// by `after`.
inline std::string LineAcks(const std::string& after = "")
{
    return Ack(1, Baud115200 + after) + Ack(2, "\x08" + after) + Ack(3, "\x01" + after) + Ack(4, "\x01" + after) +
           Ack(5, "\x01" + after);
}

// The server's acknowledgement of PURGE-DATA for its receive buffer.
inline const std::string PurgeAck = Ack(12, "\x01");

// The line's acknowledgements, then the purge's: a whole set-up.
inline std::string Acks(const std::string& after = "")
{
    return LineAcks(after) + PurgeAck;
}
