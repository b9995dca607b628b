// The Telnet decoder, case by case; its fuzz target checks that no input
// breaks it.
#include "network/TelnetDecoder.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

namespace {

// What the decoder made of `bytes`: "d41" for a data byte 0x41, "n251.44"
// for IAC WILL 44, "s2C65" for a subnegotiation of 0x2C 0x65 ("t" when cut).
std::string Events(const std::string& bytes)
{
    TelnetDecoder decoder;
    std::string events;
    char text[8];
    for (char c : bytes) {
        const TelnetEvent event = decoder.Feed(static_cast<unsigned char>(c));
        switch (event.kind) {
            case TelnetEventKind::None:
                break;
            case TelnetEventKind::Data:
                std::snprintf(text, sizeof text, "d%02X ", event.byte);
                events += text;
                break;
            case TelnetEventKind::Negotiation:
                events += "n" + std::to_string(event.byte) + "." + std::to_string(event.option) + " ";
                break;
            case TelnetEventKind::Subnegotiation:
                events += decoder.SubnegotiationTruncated() ? "t" : "s";
                for (char s : decoder.Subnegotiation()) {
                    std::snprintf(text, sizeof text, "%02X", static_cast<unsigned char>(s));
                    events += text;
                }
                events += " ";
                break;
        }
    }
    return events;
}

TEST(TelnetDecoder, TakesDataNegotiationsAndSubnegotiationsApart)
{
    const struct {
        std::string bytes;
        std::string events;
    } rows[] = {
        {"A\n", "d41 d0A "},
        {"\xff\xff", "dFF "},
        {"\xff\xfb\x2c", "n251.44 "},
        {std::string("\xff\xfe\x00x", 4), "n254.0 d78 "},
        {"\xff\xfa\x2c\x65\x01\xff\xf0", "s2C6501 "},
        {"\xff\xfa\x2c\x65\xff\xff\xff\xf0", "s2C65FF "},  // IAC IAC inside is one 0xFF
        {"\xff\xfa\x2c\xff\x41\xff\xf0", "s2C "},          // a stray command inside is dropped
        {"\xff\xf1"
         "a",
         "d61 "},  // NOP
        {"\xff\xf0"
         "a",
         "d61 "},  // a stray SE
        {std::string("\xff\xfa", 2) + std::string(70, 'x') + "\xff\xf0", "t" +
                                                                             [] {
                                                                                 std::string hex;
                                                                                 for (int i = 0; i < 64; ++i)
                                                                                     hex += "78";
                                                                                 return hex;
                                                                             }() +
                                                                             " "},
    };
    for (const auto& row : rows)
        EXPECT_EQ(Events(row.bytes), row.events);
}

}  // namespace
