// The RFC 2217 port over a scripted Telnet server: what the server answers
// to the negotiation (acknowledgements, refusals, data, a close) and what
// the port makes of it; 0xFF both ways.
#include "network/Rfc2217Port.h"
#include "TelnetBytes.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

namespace {

struct Peer {
    std::string afterRequest;                    // what the server sends once the negotiation request came
    bool closes = false;                         // and then closes the connection
    std::string afterWrite;                      // what it sends after each later write
    std::size_t writeLimit = std::string::npos;  // the next write after the request takes at most this much
    std::string written;
    std::string incoming;
    int writes = 0;
};

// The connection under the port: what the peer sends is there at once, and
// a read with nothing left times out at once, so no test waits.
class PeerConnection : public SerialPort {
public:
    explicit PeerConnection(std::shared_ptr<Peer> peer) : m_peer(std::move(peer)) {}

    PortResult Open(const std::string&, Deadline) override
    {
        m_open = true;
        return PortSucceeded(PortOperation::Open);
    }
    void Close() override { m_open = false; }
    bool IsOpen() const override { return m_open; }

    PortResult Write(const void* data, std::size_t length) override
    {
        std::size_t count = length;
        if (m_peer->writes++ > 0 && m_peer->writeLimit != std::string::npos) {
            count = std::min(length, m_peer->writeLimit);
            m_peer->writeLimit = std::string::npos;
        }
        m_peer->written.append(static_cast<const char*>(data), count);
        m_peer->incoming += m_peer->writes == 1 ? m_peer->afterRequest : m_peer->afterWrite;
        return PortSucceeded(PortOperation::Write, count);
    }

    PortResult ReadByte(char& byte, Deadline) override
    {
        if (m_peer->incoming.empty())
            return m_peer->closes ? PortClosed(LinkResult::Timeout, PortOperation::Read, ClosedByFarSide)
                                  : PortTimedOut(LinkResult::Timeout, PortOperation::Read);
        byte = m_peer->incoming[0];
        m_peer->incoming.erase(0, 1);
        return PortSucceeded(PortOperation::Read, 1);
    }

    PortResult DiscardInput(std::string& discarded) override
    {
        discarded.swap(m_peer->incoming);
        m_peer->incoming.clear();
        return PortSucceeded(PortOperation::Discard, discarded.size());
    }

private:
    std::shared_ptr<Peer> m_peer;
    bool m_open = false;
};

std::unique_ptr<Rfc2217Port> PortTo(const std::shared_ptr<Peer>& peer)
{
    return std::make_unique<Rfc2217Port>(std::make_unique<PeerConnection>(peer));
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
        auto peer = std::make_shared<Peer>();
        peer->afterRequest = row.server;
        peer->closes = row.closes;
        const PortResult open = PortTo(peer)->Open("rfc2217://x:1", NoDeadline);
        EXPECT_EQ(open.outcome, row.outcome) << row.name;
        EXPECT_EQ(open.systemText, row.reason) << row.name;
    }
}

// Requests for options it does not use are declined once; answers to its
// own requests are never answered again.
TEST(Rfc2217Port, DeclinesWhatItDoesNotUseAndNeverAnswersAnAnswer)
{
    auto peer = std::make_shared<Peer>();
    peer->afterRequest = Do + "\x18" + Will + "\x01" + Do + Binary + Will + Binary + Acks();
    ASSERT_TRUE(PortTo(peer)->Open("rfc2217://x:1", NoDeadline).Ok());
    const std::string request = peer->written.substr(0, peer->written.find(Iac + "\xfa"));
    EXPECT_EQ(request, Will + Binary + Do + Binary + Will + Sga + Do + Sga + Will + ComPort);
    const std::string answers = peer->written.substr(peer->written.rfind(Iac + "\xf0") + 2);
    EXPECT_EQ(answers, Wont + "\x18" + Dont + "\x01");
}

// Data that came during the negotiation is input nobody asked for: the
// discard takes it, and the answer to the query is what comes after.
TEST(Rfc2217Port, DataBeforeTheQueryIsDiscardedAnd0xFfCrossesOnce)
{
    auto peer = std::make_shared<Peer>();
    peer->afterRequest = "stale 1\n" + Acks() + "stale 2\n";
    peer->afterWrite = "fresh \xff\xff\n";
    auto port = PortTo(peer);
    ASSERT_TRUE(port->Open("rfc2217://x:1", NoDeadline).Ok());
    std::string discarded;
    EXPECT_TRUE(port->DiscardInput(discarded).Ok());
    EXPECT_EQ(discarded, "stale 1\nstale 2\n");

    const PortResult write = port->Write("q\xff", 2);
    EXPECT_EQ(write.count, 2u);
    EXPECT_EQ(peer->written.substr(peer->written.size() - 3), "q\xff\xff");
    std::string answer;
    char byte = 0;
    while (port->ReadByte(byte, NoDeadline).Ok())
        answer += byte;
    EXPECT_EQ(answer, "fresh \xff\n");
}

// A write that stops between the two bytes of a doubled 0xFF would leave a
// lone IAC: the second one follows, and the count is the caller's bytes.
TEST(Rfc2217Port, AShortWriteNeverEndsInsideADoubled0xFf)
{
    auto peer = std::make_shared<Peer>();
    peer->afterRequest = Acks();
    auto port = PortTo(peer);
    ASSERT_TRUE(port->Open("rfc2217://x:1", NoDeadline).Ok());
    const std::size_t before = peer->written.size();
    peer->writeLimit = 2;  // "a" and the first IAC of "\xff"
    const PortResult write = port->Write(
        "a\xff"
        "b",
        3);
    EXPECT_TRUE(write.Ok());
    EXPECT_EQ(write.count, 2u);
    EXPECT_EQ(peer->written.substr(before), "a\xff\xff");
}

}  // namespace
