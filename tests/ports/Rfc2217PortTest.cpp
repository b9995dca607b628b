// The RFC 2217 port over a scripted Telnet server: what the server answers
// to the negotiation (acknowledgements, refusals, data, a close) and what
// the port makes of it; 0xFF both ways.
#include "network/Rfc2217Port.h"
#include "ScriptedSerialPort.h"
#include "TelnetBytes.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace {

// The server's connection under the port: what the server sends is there
// at once, and a read with nothing left times out at once, so no test waits.
std::unique_ptr<Rfc2217Port> PortTo(const std::shared_ptr<PortScript>& server)
{
    return std::make_unique<Rfc2217Port>(std::make_unique<ScriptedSerialPort>(server));
}

TEST(Rfc2217Port, SetsUpOnlyWhenTheServerTakesTheOptionsAndTheLine)
{
    const struct {
        const char* name;
        std::string server;
        bool closes;
        LinkResult outcome;
        std::string reason;
    } rows[] = {
        {"acknowledged", Will + Binary + Do + Binary + Do + ComPort + Acks(), false, LinkResult::Ok, ""},
        {"acknowledged with bytes after each value", Acks(std::string("\x00\x07", 2)), false, LinkResult::Ok, ""},
        {"the server's own side without COM port control, as ser2net says", Wont + ComPort + Acks(), false,
         LinkResult::Ok, ""},
        {"SUPPRESS-GO-AHEAD refused", Dont + Sga + Wont + Sga + Acks(), false, LinkResult::Ok, ""},
        {"another baud rate", Ack(1, std::string("\x00\x00\x25\x80", 4)) + Acks(), false, LinkResult::SetupFailed,
         "the server refused SET-BAUDRATE"},
        {"BINARY refused on its side", Wont + Binary + Acks(), false, LinkResult::SetupFailed,
         "the server refuses BINARY"},
        {"BINARY refused on ours", Dont + Binary + Acks(), false, LinkResult::SetupFailed, "the server refuses BINARY"},
        {"COM port control refused", Dont + ComPort, false, LinkResult::SetupFailed,
         "the server refuses COM port control"},
        {"no acknowledgement", Will + Binary, false, LinkResult::SetupFailed,
         "the server did not acknowledge SET-BAUDRATE in time"},
        {"closed with the server's words", "Port already in use\r\n", true, LinkResult::OpenFailed,
         "Port already in use"},
        {"closed without a word", "", true, LinkResult::OpenFailed, "The far side closed the connection"},
    };
    for (const auto& row : rows) {
        auto server = std::make_shared<PortScript>(row.server);
        server->closesAfterReply = row.closes;
        const PortResult open = PortTo(server)->Open("rfc2217://x:1", NoDeadline);
        EXPECT_EQ(open.outcome, row.outcome) << row.name;
        EXPECT_EQ(open.systemText, row.reason) << row.name;
    }
}

// Requests for options it does not use are declined once; answers to its
// own requests are never answered again.
TEST(Rfc2217Port, DeclinesWhatItDoesNotUseAndNeverAnswersAnAnswer)
{
    auto server = std::make_shared<PortScript>(Do + "\x18" + Will + "\x01" + Do + Binary + Will + Binary + Acks());
    ASSERT_TRUE(PortTo(server)->Open("rfc2217://x:1", NoDeadline).Ok());
    const std::string written = server->Written();
    const std::string request = written.substr(0, written.find(Iac + "\xfa"));
    EXPECT_EQ(request, Will + Binary + Do + Binary + Will + Sga + Do + Sga + Will + ComPort);
    const std::string answers = written.substr(written.rfind(Iac + "\xf0") + 2);
    EXPECT_EQ(answers, Wont + "\x18" + Dont + "\x01");
}

// Data that came during the negotiation is input nobody asked for: the
// discard takes it, and the answer to the query is what comes after.
TEST(Rfc2217Port, DataBeforeTheQueryIsDiscardedAnd0xFfCrossesOnce)
{
    auto server = std::make_shared<PortScript>("stale 1\n" + Acks() + "stale 2\n", "fresh \xff\xff\n");
    auto port = PortTo(server);
    ASSERT_TRUE(port->Open("rfc2217://x:1", NoDeadline).Ok());
    std::string discarded;
    EXPECT_TRUE(port->DiscardInput(discarded).Ok());
    EXPECT_EQ(discarded, "stale 1\nstale 2\n");

    const PortResult write = port->Write("q\xff", 2);
    EXPECT_EQ(write.count, 2u);
    const std::string written = server->Written();
    EXPECT_EQ(written.substr(written.size() - 3), "q\xff\xff");
    std::string answer;
    char byte = 0;
    while (port->ReadByte(byte, NoDeadline).Ok())
        answer += byte;
    EXPECT_EQ(answer, "fresh \xff\n");
}

// The server is asked to purge what it held from the device before this
// connection (a late reply to an earlier client): what comes before its
// acknowledgement is discarded, and a server that does not acknowledge it
// is used as it is, with a note.
TEST(Rfc2217Port, TheServerPurgesWhatItHeldBeforeThisConnection)
{
    const std::string purge = Iac + "\xfa\x2c\x0c\x01" + Iac + "\xf0";
    for (const bool acknowledged : {true, false}) {
        auto server =
            std::make_shared<PortScript>(LineAcks() + "late 9999\n" + (acknowledged ? PurgeAck : ""), "fresh\n");
        std::vector<std::string> notes;
        auto port = std::make_unique<Rfc2217Port>(std::make_unique<ScriptedSerialPort>(server),
                                                  [&notes](const std::string& note) { notes.push_back(note); });
        ASSERT_TRUE(port->Open("rfc2217://x:1", NoDeadline).Ok()) << acknowledged;
        EXPECT_NE(server->Written().find(purge), std::string::npos);
        EXPECT_EQ(notes.size(), acknowledged ? 0u : 1u);
        std::string discarded;
        EXPECT_TRUE(port->DiscardInput(discarded).Ok());
        EXPECT_EQ(discarded, "late 9999\n");
    }
}

// A write that stops between the two bytes of a doubled 0xFF would leave a
// lone IAC: the second one follows, and the count is the caller's bytes.
TEST(Rfc2217Port, AShortWriteNeverEndsInsideADoubled0xFf)
{
    auto server = std::make_shared<PortScript>(Acks());
    auto port = PortTo(server);
    ASSERT_TRUE(port->Open("rfc2217://x:1", NoDeadline).Ok());
    const std::size_t before = server->Written().size();
    // "a" and the first IAC of "\xff"; the lone IAC after it, one byte, goes whole.
    server->laterWrites = PortScript::Write::Short;
    server->shortWriteCount = 2;
    const PortResult write = port->Write(
        "a\xff"
        "b",
        3);
    EXPECT_TRUE(write.Ok());
    EXPECT_EQ(write.count, 2u);
    EXPECT_EQ(server->Written().substr(before), "a\xff\xff");
}

}  // namespace
