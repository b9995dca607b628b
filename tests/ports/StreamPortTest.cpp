// The stream port over a scripted stream: what a socket reports (bytes in
// pieces, nothing yet, a close, a reset, a failed wait, partial sends) and
// what the port makes of it.
#include "network/StreamPort.h"

#include <gtest/gtest.h>

#include <deque>
#include <memory>
#include <string>

namespace {

struct Received {
    StreamStatus status;
    std::string bytes;
    long error;
};

struct StreamScript {
    std::deque<Received> receives;  // one a Receive; none left: Waiting
    std::deque<std::size_t> sends;  // how much each Send moves (0: Waiting); none left: all
    bool waitFails = false;         // a Wait with nothing scripted fails instead of timing out
    std::string sent;
};

class ScriptedStream : public Stream {
public:
    explicit ScriptedStream(std::shared_ptr<StreamScript> script) : m_script(std::move(script)) {}

    StreamResult Send(const char* data, std::size_t length) override
    {
        std::size_t count = length;
        if (!m_script->sends.empty()) {
            count = std::min(length, m_script->sends.front());
            m_script->sends.pop_front();
        }
        m_script->sent.append(data, count);
        return count == 0 ? StreamResult{StreamStatus::Waiting, 0, 0} : StreamResult{StreamStatus::Moved, count, 0};
    }

    StreamResult Receive(char* buffer, std::size_t size) override
    {
        if (m_script->receives.empty())
            return {StreamStatus::Waiting, 0, 0};
        const Received next = m_script->receives.front();
        m_script->receives.pop_front();
        const std::size_t count = std::min(size, next.bytes.size());
        next.bytes.copy(buffer, count);
        return {next.status, count, next.error};
    }

    // Ready when something is scripted; otherwise the deadline is taken as
    // reached at once, so that no test waits.
    StreamWait Wait(bool forWriting, Deadline, long& error) override
    {
        if (forWriting || !m_script->receives.empty())
            return StreamWait::Ready;
        if (m_script->waitFails) {
            error = 22;
            return StreamWait::Failed;
        }
        return StreamWait::TimedOut;
    }

    PortResult Failure(LinkResult outcome, PortOperation operation, long error) const override
    {
        return PortFailed(outcome, operation, error, "error " + std::to_string(error));
    }

private:
    std::shared_ptr<StreamScript> m_script;
};

const Received Nothing{StreamStatus::Waiting, "", 0};
const Received Close{StreamStatus::Closed, "", 0};
Received Data(const std::string& bytes)
{
    return {StreamStatus::Moved, bytes, 0};
}

std::unique_ptr<StreamPort> PortOn(const std::shared_ptr<StreamScript>& script,
                                   std::chrono::milliseconds greeting = std::chrono::milliseconds(0))
{
    auto port = std::make_unique<StreamPort>(
        [script](std::unique_ptr<Stream>& stream, Deadline) {
            stream = std::make_unique<ScriptedStream>(script);
            return PortSucceeded(PortOperation::Open);
        },
        greeting);
    return port;
}

// What reading until a failure gives: the bytes, then "|" and the fault.
std::string ReadAll(SerialPort& port)
{
    std::string text;
    for (;;) {
        char byte = 0;
        const PortResult read = port.ReadByte(byte, DeadlineAfter(std::chrono::milliseconds(50)));
        if (!read.Ok()) {
            const char* faults[] = {"none", "timed-out", "closed", "failed"};
            return text + "|" + faults[static_cast<int>(read.fault)] + " " + read.systemText;
        }
        text += byte;
    }
}

TEST(StreamPort, ReadsTellATimeOutAClosedConnectionAndAResetApart)
{
    const struct {
        const char* name;
        std::deque<Received> receives;
        bool waitFails;
        std::string read;
    } rows[] = {
        {"pieces", {Data("ab"), Nothing, Data("c\n")}, false, "abc\n|timed-out "},
        {"closed", {Data("x"), Close}, false, "x|closed The far side closed the connection"},
        {"reset", {Data("x"), {StreamStatus::Failed, "", 104}}, false, "x|failed error 104"},
        {"failed wait", {Data("x")}, true, "x|failed error 22"},
    };
    for (const auto& row : rows) {
        auto script = std::make_shared<StreamScript>();
        script->receives = row.receives;
        script->waitFails = row.waitFails;
        auto port = PortOn(script);
        ASSERT_TRUE(port->Open("socket://x:1", NoDeadline).Ok());
        EXPECT_EQ(ReadAll(*port), row.read) << row.name;
    }
}

// What came before it was asked for is taken without a wait; a far side
// that is gone is found before a write, which then fails.
TEST(StreamPort, DiscardTakesEarlierInputAndFindsAClosedConnectionBeforeAWrite)
{
    auto script = std::make_shared<StreamScript>();
    script->receives = {Data("old\n"), Nothing, Data("new\n")};
    auto port = PortOn(script);
    ASSERT_TRUE(port->Open("socket://x:1", NoDeadline).Ok());
    std::string discarded;
    EXPECT_TRUE(port->DiscardInput(discarded).Ok());
    EXPECT_EQ(discarded, "old\n");
    EXPECT_EQ(ReadAll(*port), "new\n|timed-out ");

    script->receives = {Data("bye\r\n"), Close};
    const PortResult gone = port->DiscardInput(discarded);
    EXPECT_EQ(gone.fault, PortFault::Closed);
    EXPECT_EQ(gone.systemText, "bye");
    EXPECT_EQ(discarded, "bye\r\n");
    const PortResult write = port->Write("q", 1);
    EXPECT_EQ(write.outcome, LinkResult::WriteFailed);
    EXPECT_EQ(write.fault, PortFault::Closed);
    EXPECT_EQ(script->sent, "");
}

TEST(StreamPort, PartialSendsMakeOneWholeWrite)
{
    auto script = std::make_shared<StreamScript>();
    script->sends = {3, 0, 4, 100};
    auto port = PortOn(script);
    ASSERT_TRUE(port->Open("socket://x:1", NoDeadline).Ok());
    const PortResult write = port->Write("0123456789", 10);
    EXPECT_TRUE(write.Ok());
    EXPECT_EQ(write.count, 10u);
    EXPECT_EQ(script->sent, "0123456789");
}

// A server's greeting is input nobody asked for; a server that greets and
// closes could not open its port, and says why.
TEST(StreamPort, AGreetingIsDiscardedAndAGreetingThatClosesIsTheReason)
{
    auto script = std::make_shared<StreamScript>();
    script->receives = {Data("Welcome\r\n"), Nothing};
    auto port = PortOn(script, std::chrono::milliseconds(100));
    ASSERT_TRUE(port->Open("socket://x:1", NoDeadline).Ok());
    std::string discarded;
    EXPECT_TRUE(port->DiscardInput(discarded).Ok());
    EXPECT_EQ(discarded, "Welcome\r\n");

    script->receives = {Data("Port already in use\r\n"), Close};
    const PortResult refused = port->Open("socket://x:1", NoDeadline);
    EXPECT_EQ(refused.outcome, LinkResult::OpenFailed);
    EXPECT_EQ(refused.fault, PortFault::Closed);
    EXPECT_EQ(refused.systemText, "Port already in use");
    EXPECT_FALSE(port->IsOpen());
}

}  // namespace
