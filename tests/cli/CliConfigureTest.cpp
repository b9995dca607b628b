// `configure` on the bench: the command it writes, what it refuses before writing, and --verify.
#include "CliBench.h"

#ifndef _WIN32
#include "PseudoTerminal.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

#include <utility>
#include <vector>

namespace {

#ifndef _WIN32
struct TerminalRun {
    int exitCode = -1;
    std::string screen;  // all the terminal showed: prompts, echo, messages
};

// Runs the program on a pseudo-terminal of its own, as a user at a terminal
// would, and types each of `lines` once the terminal shows its prompt.
TerminalRun RunOnTerminal(const std::vector<std::string>& args,
                          const std::vector<std::pair<std::string, std::string>>& promptsAndLines)
{
    PseudoTerminal terminal;
    const char* slavePath = terminal.SlavePath().c_str();
    const pid_t pid = StartProcess(BuildPath(TOLVANE_CLI_PATH), args, [slavePath] {
        setsid();  // the terminal becomes the program's own
        const int slave = open(slavePath, O_RDWR);
        dup2(slave, 0);
        dup2(slave, 1);
        dup2(slave, 2);
    });
    TerminalRun run;
    if (pid < 0) {  // never kill(-1, ...) below
        ADD_FAILURE() << "cannot start " << TOLVANE_CLI_PATH;
        return run;
    }
    for (const auto& [prompt, line] : promptsAndLines) {
        while (run.screen.find(prompt) == std::string::npos) {
            const std::string more = terminal.Receive(1, 10000);
            if (more.empty())
                break;
            run.screen += more;
        }
        terminal.Send(line);
    }
    int status = 0;
    for (int i = 0; i < 200 && waitpid(pid, &status, WNOHANG) == 0; ++i)
        run.screen += terminal.Receive(4096, 50);
    if (waitpid(pid, &status, WNOHANG) == 0) {
        kill(pid, SIGKILL);
        waitpid(pid, &status, 0);
    }
    run.screen += terminal.Receive(4096, 50);
    run.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return run;
}
#endif

TEST_F(CliOnBench, ConfigureWritesTheWindowsCommandAndTheDeviceKeepsIt)
{
    const int before = Configures();
    const ProcessResult keepPin = Cli({"configure", m_port, "--auth", "off"});
    EXPECT_EQ(keepPin.exitCode, 0);
    EXPECT_EQ(keepPin.out, Completed);
    EXPECT_EQ(keepPin.err, "");
    EXPECT_TRUE(WaitForConfigures(before + 1));
    EXPECT_EQ(m_device.ReceivedSinceMark(), AccessCodeBytes + AccessCodeBytes + " 0 1234 ");
    EXPECT_EQ(m_device.State()["auth"], "0");

    m_device.MarkReceived();
    const ProcessResult newPin = Cli({"configure", m_port, "--auth=on", "--pin=A1b2-C3d4!~9"});
    EXPECT_EQ(newPin.exitCode, 0);
    EXPECT_EQ(newPin.out, Completed);
    EXPECT_TRUE(WaitForConfigures(before + 2));
    EXPECT_EQ(m_device.ReceivedSinceMark(), AccessCodeBytes + AccessCodeBytes + " 1 A1b2-C3d4!~9 ");
    EXPECT_EQ(m_device.State()["pin"], "A1b2-C3d4!~9");
    EXPECT_EQ(m_device.State()["auth"], "1");

    // Without --auth the device's own setting goes back, as the window's OK
    // sends it when neither button was clicked.
    m_device.MarkReceived();
    const ProcessResult pinOnly = Cli({"configure", m_port, "--pin", "2468", "--verify"});
    EXPECT_EQ(pinOnly.exitCode, 0) << pinOnly.err;
    EXPECT_TRUE(WaitForConfigures(before + 3));
    EXPECT_EQ(m_device.ReceivedSinceMark(), AccessCodeBytes + AccessCodeBytes + " 1 2468 " + AccessCodeBytes);
}

TEST_F(CliOnBench, ConfigureWritesNothingAfterARefusalOrABadRead)
{
    struct Case {
        std::string scenario;
        std::vector<std::string> options;
        int code;
        std::string message;
        std::string hints = "";
    };
    const std::vector<Case> cases = {
        {"name=ABCDEFGHIJKLMNOPQRSTU\n", {}, 9, "Invalid new device name. The maximum length is 20 characters."},
        {"", {"--pin", "1234567890123"}, 10, "Invalid new pin code. The maximum length is 12 digits."},
        {"pin=123456789012345\n", {}, 10, "Invalid new pin code. The maximum length is 12 digits."},
        {"", {"--pin", "12 34"}, 11, "Invalid new pin code. Spaces are not allowed."},
        {"echo=kwd38m4tQZXh8\n",
         {},
         7,
         "Receive incorrect data from COM port.",
         "hint: run the command again with --transcript FILE to see the bytes the device sent.\n"},
        {"version=1.4\n",
         {},
         8,
         "Unsupported firmware version: \"1.4\"",
         "hint: tolvane-cli knows firmware 1.1, 1.2 and 1.3 only.\n"},
    };
    const int before = Configures();
    for (const Case& refused : cases) {
        Reset(m_device, refused.scenario);
        m_device.MarkReceived();
        std::vector<std::string> args = {"configure", m_port, "--auth", "off"};
        args.insert(args.end(), refused.options.begin(), refused.options.end());
        ExpectFailure(args, refused.code, refused.message, refused.hints);
        // A PIN on the command line is refused before the port is opened.
        EXPECT_EQ(m_device.ReceivedSinceMark(), refused.options.empty() ? AccessCodeBytes : std::string())
            << refused.message;
    }
    EXPECT_EQ(Configures(), before);
    ExpectFailure({"configure", CannotSetUpPort, "--auth", "on", "--pin", "12 34"}, 11,
                  "Invalid new pin code. Spaces are not allowed.");

    // Exactly 20 characters is a name the window accepts.
    Reset(m_device, "name=ABCDEFGHIJKLMNOPQRST\n");
    EXPECT_EQ(Cli({"configure", m_port, "--auth", "on"}).exitCode, 0);
}

TEST_F(CliOnBench, VerifyReadsTheDeviceAgainAndNeverWritesTwice)
{
    const ProcessResult verified = Cli({"configure", m_port, "--auth", "off", "--pin", "5678", "--verify"});
    EXPECT_EQ(verified.exitCode, 0);
    EXPECT_EQ(verified.out, std::string(Completed) + "The device reports the requested settings.\n");
    EXPECT_EQ(verified.err, "");
    EXPECT_EQ(m_device.ReceivedSinceMark(), AccessCodeBytes + AccessCodeBytes + " 0 5678 " + AccessCodeBytes);

    // A device that keeps answering with its old settings, as one does that
    // takes them only after a reset.
    Reset(m_device, "raw=" + AccessCodeBytes + " 1.3 1 1234 Tolvane Demo\\n\n");
    m_device.MarkReceived();
    const ProcessResult stale =
        Cli({"configure", m_port, "--auth", "off", "--pin", "5678", "--verify", "--verify-wait", "50"});
    EXPECT_EQ(stale.exitCode, 15);
    EXPECT_EQ(stale.out, Completed);
    EXPECT_EQ(stale.err, Message("Not verified: The device reports authentication Enable and PIN 1234. "
                                 "Some devices take new settings only after a reset."));
    EXPECT_EQ(m_device.ReceivedSinceMark(), AccessCodeBytes + AccessCodeBytes + " 0 5678 " + AccessCodeBytes);
}

TEST_F(CliOnBench, PinPromptAsksTwiceWithoutEchoAndOnlyOnATerminal)
{
    ExpectFailure({"configure", m_port, "--auth", "on", "--pin-prompt"}, 2,
                  "--pin-prompt asks on a terminal, and standard input is none: use --pin-file instead.");
    EXPECT_EQ(m_device.ReceivedSinceMark(), "");
#ifndef _WIN32
    const TerminalRun typed = RunOnTerminal({"configure", m_port, "--auth", "on", "--pin-prompt"},
                                            {{"New PIN: ", "8642\n"}, {"New PIN again: ", "8642\n"}});
    EXPECT_EQ(typed.exitCode, 0) << typed.screen;
    EXPECT_EQ(typed.screen.find("8642"), std::string::npos) << typed.screen;
    EXPECT_NE(typed.screen.find("Configuration is completed."), std::string::npos) << typed.screen;
    // The device records bytes as they come: the configure may still be on its way.
    const std::string written = AccessCodeBytes + AccessCodeBytes + " 1 8642 ";
    m_device.WaitForReceivedSinceMark(written.size(), 2000);
    EXPECT_EQ(m_device.ReceivedSinceMark(), written);

    m_device.MarkReceived();
    const TerminalRun differ = RunOnTerminal({"configure", m_port, "--auth", "on", "--pin-prompt"},
                                             {{"New PIN: ", "8642\n"}, {"New PIN again: ", "8643\n"}});
    EXPECT_EQ(differ.exitCode, 2) << differ.screen;
    EXPECT_NE(differ.screen.find("tolvane-cli: Inconsistent new pin code. Confirmation error."), std::string::npos)
        << differ.screen;
    EXPECT_EQ(m_device.ReceivedSinceMark(), "");
#endif
}

TEST_F(CliOnBench, BadCommandLinesTouchNoDevice)
{
    const ProcessResult run = Cli({"configure", m_port, "--auth", "maybe"});
    EXPECT_EQ(run.exitCode, 2);
    EXPECT_EQ(run.out, "");
    EXPECT_NE(run.err.find("--auth takes on or off"), std::string::npos);
    EXPECT_EQ(m_device.ReceivedSinceMark(), "");
}

}  // namespace
