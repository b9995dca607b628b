// `scan` on the bench: the port list and the brief probe.
#include "CliBench.h"

#include <chrono>

namespace {

TEST_F(CliOnBench, ScanFindsThePortsAndProbesThemBriefly)
{
    const ProcessResult listed = Cli({"scan"});
    EXPECT_EQ(listed.exitCode, 0);
    EXPECT_EQ(listed.err, "");
#ifdef _WIN32
    // The ports Wine maps in dosdevices, found without a device being asked.
    EXPECT_NE(listed.out.find("COM5\tother\nCOM6\tother\n"), std::string::npos) << listed.out;
    EXPECT_EQ(m_device.ReceivedSinceMark(), "");
#endif

    Reset(m_other, "mode=silent\nname=Other\n");
    const auto start = std::chrono::steady_clock::now();
    const ProcessResult probed = Cli({"scan", "--probe", m_port, m_other.PortName(), CannotOpenPort});
    const auto took = std::chrono::steady_clock::now() - start;
    EXPECT_EQ(probed.exitCode, 0);
    // A port that cannot be opened says why, in the system's words.
    const std::string failed = CannotOpenPort + "\tcannot-open\t\t\tother\t\t\t\t";
    const std::size_t reason = probed.out.find(failed);
    EXPECT_EQ(probed.out.substr(0, reason),
              m_port + "\tdevice\t1.3\tTolvane Demo\tother\n" + m_other.PortName() + "\tno-answer\t\t\tother\n");
    ASSERT_NE(reason, std::string::npos) << probed.out;
    EXPECT_GT(probed.out.size(), reason + failed.size() + 1) << probed.out;
    EXPECT_EQ(probed.err, "");
    EXPECT_LT(took, std::chrono::seconds(4));

    const ProcessResult none = Cli({"scan", "--probe", "--json", m_other.PortName()});
    EXPECT_EQ(none.exitCode, 14);
    EXPECT_EQ(none.out,
              "[\n{\"port\":\"" + m_other.PortName() + "\",\"status\":\"no-answer\",\"kind\":\"other\"}\n]\n");
    EXPECT_EQ(none.err, Message("No device answered."));
}

}  // namespace
