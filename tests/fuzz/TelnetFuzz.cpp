// Whatever bytes a Telnet server sends, the decoder keeps its subnegotiation
// within bounds, gives no more data than it was given, and gives the bytes
// of a stream without IAC back as they are; a subnegotiation that never ends
// swallows whatever follows, data included, and stays within its bound.
// Built by the fuzz preset, run by tests/fuzz/run-fuzz.
#include "Require.h"
#include "network/TelnetDecoder.h"

#include <cstdint>
#include <string>

namespace {

std::string DataOf(TelnetDecoder& decoder, const std::uint8_t* bytes, std::size_t size)
{
    std::string data;
    for (std::size_t i = 0; i < size; ++i) {
        const TelnetEvent event = decoder.Feed(bytes[i]);
        Require(decoder.Subnegotiation().size() <= TelnetDecoder::MaxSubnegotiation, "subnegotiation bounded");
        if (event.kind == TelnetEventKind::Data)
            data += static_cast<char>(event.byte);
    }
    return data;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size)
{
    TelnetDecoder decoder;
    const std::string data = DataOf(decoder, bytes, size);
    Require(data.size() <= size, "no more data than bytes");
    bool hasIac = false;
    for (std::size_t i = 0; i < size; ++i)
        hasIac = hasIac || bytes[i] == Telnet::Iac;
    if (!hasIac)
        Require(data == std::string(reinterpret_cast<const char*>(bytes), size), "plain bytes pass unchanged");

    // An endless subnegotiation swallows the input whole, within its bound.
    TelnetDecoder endless;
    const std::uint8_t start[] = {Telnet::Iac, Telnet::Sb, Telnet::ComPortOption};
    DataOf(endless, start, sizeof start);
    for (int round = 0; round < 4; ++round) {
        std::string swallowed;
        for (std::size_t i = 0; i < size; ++i) {
            if (bytes[i] != Telnet::Iac)
                swallowed += static_cast<char>(bytes[i]);
        }
        Require(DataOf(endless, reinterpret_cast<const std::uint8_t*>(swallowed.data()), swallowed.size()).empty(),
                "no data inside a subnegotiation");
    }
    return 0;
}
