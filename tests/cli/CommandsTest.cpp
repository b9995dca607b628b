// The commands run in-process on a scripted port, for what the simulated
// device cannot make happen: a configure write that fails or is cut short
// after a good read, a failed query write, and the probe's shorter wait.
#include "Commands.h"

#include <gtest/gtest.h>

#include <deque>
#include <sstream>

namespace {

constexpr char GoodReply[] = "kwd38m4tQZXh7 1.3 1 1234 Tolvane Demo\n";

struct Script {
    LinkResult open = LinkResult::Ok;
    std::deque<std::pair<bool, int>> writes;  // success flag and count (-1: all) of each write
    std::string reply;
    std::string written;
    std::vector<unsigned> readTimeouts;
};

class ScriptedPort : public SerialPort {
public:
    explicit ScriptedPort(Script& script) : m_script(script) {}
    LinkResult Open(const std::string&) override
    {
        m_open = m_script.open != LinkResult::OpenFailed;
        return m_script.open;
    }
    void Close() override { m_open = false; }
    bool IsOpen() const override { return m_open; }
    bool Write(const void* data, std::size_t length, std::size_t& written) override
    {
        std::pair<bool, int> step{true, -1};
        if (!m_script.writes.empty()) {
            step = m_script.writes.front();
            m_script.writes.pop_front();
        }
        written = step.second < 0 ? length : static_cast<std::size_t>(step.second);
        m_script.written.append(static_cast<const char*>(data), written);
        return step.first;
    }
    std::size_t ReadByte(char& byte) override
    {
        if (m_next >= m_script.reply.size())
            return 0;
        byte = m_script.reply[m_next++];
        return 1;
    }
    bool SetReadTimeout(unsigned milliseconds) override
    {
        m_script.readTimeouts.push_back(milliseconds);
        return true;
    }

private:
    Script& m_script;
    bool m_open = false;
    std::size_t m_next = 0;
};

struct CommandRun {
    ExitCode code;
    std::string out;
    std::string err;
};

CommandRun RunOn(Script& script, std::vector<std::string> args)
{
    std::ostringstream out, err;
    CommandContext context{out, err, [&script] { return std::make_unique<ScriptedPort>(script); },
                           [](std::vector<std::string>&) { return false; }, PortStyle::Posix};
    const ParsedArguments parsed = ParseArguments(args);
    EXPECT_TRUE(parsed.ok) << parsed.error;
    const ExitCode code = RunCommand(parsed.options, context);
    return {code, out.str(), err.str()};
}

TEST(Commands, ConfigureWriteFailuresUseTheWindowsTexts)
{
    Script failed;
    failed.reply = GoodReply;
    failed.writes = {{true, -1}, {false, 0}};
    const CommandRun writeFailed = RunOn(failed, {"configure", "/dev/x", "--auth", "off"});
    EXPECT_EQ(writeFailed.code, ExitCode::ConfigureWriteFailed);
    EXPECT_EQ(writeFailed.err, "Failed to write to remote device.\n");
    EXPECT_EQ(writeFailed.out, "");

    Script cut;
    cut.reply = GoodReply;
    cut.writes = {{true, -1}, {true, 5}};
    const CommandRun shortWrite = RunOn(cut, {"configure", "/dev/x", "--auth", "on", "--pin", "77"});
    EXPECT_EQ(shortWrite.code, ExitCode::ShortWrite);
    EXPECT_EQ(shortWrite.err, "Writing COM port failed.\n");
    EXPECT_EQ(cut.written, "kwd38m4tQZXh7kwd38");
}

TEST(Commands, AFailedQueryWriteConfiguresNothing)
{
    Script script;
    script.reply = GoodReply;
    script.writes = {{false, 0}};
    const CommandRun run = RunOn(script, {"configure", "/dev/x", "--auth", "on"});
    EXPECT_EQ(run.code, ExitCode::QueryWriteFailed);
    EXPECT_EQ(run.err, "Fail to write to the COM port.\n");
    EXPECT_EQ(script.written, "");
}

TEST(Commands, ProbeWaitsLessThanTheWindowAndListingFailuresAreReported)
{
    Script script;
    script.reply = GoodReply;
    const CommandRun probe = RunOn(script, {"scan", "--probe", "/dev/a"});
    EXPECT_EQ(probe.code, ExitCode::Success);
    EXPECT_EQ(probe.out, "/dev/a\tdevice\t1.3\tTolvane Demo\tother\n");
    EXPECT_EQ(script.readTimeouts, std::vector<unsigned>{ProbeReadTimeoutMs});

    const CommandRun list = RunOn(script, {"scan"});
    EXPECT_EQ(list.code, ExitCode::Failure);
    EXPECT_EQ(list.out, "");
    EXPECT_NE(list.err, "");
}

}  // namespace
