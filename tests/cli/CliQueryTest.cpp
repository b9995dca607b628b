// `query` on the bench: what it prints, and what reaches the device.
#include "CliBench.h"

#ifndef _WIN32
#include "serial/UniqueFd.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>
#endif

namespace {

TEST_F(CliOnBench, QueryPrintsTheDeviceAfterSendingOnlyTheAccessCode)
{
    const ProcessResult text = Cli({"query", m_port});
    EXPECT_EQ(text.exitCode, 0);
    EXPECT_EQ(text.out, "name: Tolvane Demo\nfirmware: 1.3\nauthentication: Enable\npin: 1234\n");
    EXPECT_EQ(text.err, "");
    EXPECT_EQ(m_device.ReceivedSinceMark(), AccessCodeBytes);

    Reset(m_device, "crlf=1\nauth=0\nversion=1.1\nname=Caf\xE9 \"Lab\"\t\x1b[2J\n");
    const ProcessResult json = Cli({"query", m_port, "--json"});
    EXPECT_EQ(json.exitCode, 0);
    EXPECT_EQ(json.out,
              "{\"name\":\"Caf\xEF\xBF\xBD \\\"Lab\\\"\\t\\u001b[2J\",\"nameHex\":\"436166e920224c616222091b5b324a\","
              "\"firmware\":\"1.1\",\"authentication\":\"Disable\",\"pin\":\"1234\"}\n");
    const ProcessResult escaped = Cli({"query", m_port});
    EXPECT_EQ(escaped.out.substr(0, escaped.out.find('\n')), "name: Caf\xE9 \"Lab\"\\x09\\x1B[2J");
}

TEST_F(CliOnBench, QueryFailuresHaveTheWindowsTextsAndTheirOwnCodes)
{
    ExpectFailureWithReason({"query", CannotOpenPort}, 3, "Cannot open the COM port.", CannotOpenPort, CannotOpenReason,
                            ScanHint());
#ifdef _WIN32
    ExpectFailureWithReason({"query", CannotSetUpPort}, 4, "Fail to configure the COM port: 8 N 1 N.", CannotSetUpPort,
                            CannotSetUpReason);
#else
    // Something that opens but is no terminal is named for what it is.
    ExpectFailure({"query", CannotSetUpPort}, 4, CannotSetUpPort + " is not a serial port.");
    ExpectFailure({"query", WriteFile("plain-file", "")}, 4,
                  BenchDevice::BenchFolder() + "/plain-file is not a serial port.");
    // A Windows name, here a file that is not there.
    ExpectFailureWithReason({"query", "COM5"}, 3, "Cannot open the COM port.", "COM5", "No such file or directory",
                            Hints({"ports are paths here: /dev/rfcomm0 for a bound RFCOMM device, or bt://ADDRESS "
                                   "straight over Bluetooth."}) +
                                ScanHint());
    // A port another program holds names that program (here this test: the
    // simulated device holds the terminal only for its own short looks).
    {
        const UniqueFd holder(open(m_port.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK));
        ASSERT_TRUE(holder.IsValid());
        ASSERT_EQ(flock(holder.Get(), LOCK_EX | LOCK_NB), 0);
        const ProcessResult busy = Cli({"query", m_port});
        EXPECT_EQ(busy.exitCode, 3);
        EXPECT_NE(busy.err.find("Device or resource busy)\nhint: " + m_port + " is open in process "),
                  std::string::npos)
            << busy.err;
        EXPECT_NE(busy.err.find(std::to_string(getpid()) + " ("), std::string::npos) << busy.err;
    }
#endif
    // Wrong bytes are in no message: the hint names the transcript that
    // shows them; an unknown firmware, the ones that are known.
    const std::string seeTranscript =
        "hint: run the command again with --transcript FILE to see the bytes the device sent.\n";
    Reset(m_device, "echo=KWD38M4TQZXH7\n");
    ExpectFailure({"query", m_port}, 7, "Receive incorrect data from COM port.", seeTranscript);
    Reset(m_device, "raw=" + AccessCodeBytes + " 1.3 x\\n\n");
    ExpectFailure({"query", m_port}, 7, "Receive incorrect data from COM port.", seeTranscript);
    Reset(m_device, "version=1.10\n");
    ExpectFailure({"query", m_port}, 8, "Unsupported firmware version: \"1.10\"",
                  "hint: tolvane-cli knows firmware 1.1, 1.2 and 1.3 only.\n");
#ifndef _WIN32
    // Five seconds of waiting; under Wine the scan below meets a silent
    // device through the same Win32 read time-out, only shorter.
    Reset(m_device, "mode=silent\n");
    ExpectFailure({"query", m_port}, 6, "Reading COM port timeout.", TimeoutHints);
#endif
}

}  // namespace
