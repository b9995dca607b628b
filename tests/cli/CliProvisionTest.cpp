// `provision` on the bench: plans with bad rows and with a silent port.
#include "CliBench.h"

namespace {

TEST_F(CliOnBench, APlanWithABadRowOpensNoPort)
{
    // A byte-order mark and CRLF line ends, as a spreadsheet saves a plan.
    const std::string plan = WriteFile(
        "bad-plan.csv", "\xEF\xBB\xBFport,auth,pin\r\n" + m_port + ",on,5678\r\n" + m_third.PortName() + ",maybe,\r\n");
    const ProcessResult run = Cli({"provision", plan});
    EXPECT_EQ(run.exitCode, 17);
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(run.err, Message(plan + ", line 3: auth takes on or off, not \"maybe\"."));
    EXPECT_EQ(m_device.ReceivedSinceMark(), "");
    EXPECT_EQ(m_third.ReceivedSinceMark(), "");
}

TEST_F(CliOnBench, ASilentPortFailsOnlyItsOwnRowOfAPlan)
{
    Reset(m_other, "mode=silent\n");
    Reset(m_third, "auth=0\nname=Bench Three\n");
    const std::string plan = WriteFile("plan.csv", std::string("port,auth,pin\n") + m_port + ",off,5678\n" +
                                                       m_other.PortName() + ",on,\n" + m_third.PortName() + ",on,\n");
    const ProcessResult run = Cli({"provision", plan, "--verify"});
    EXPECT_EQ(run.exitCode, 16);
    EXPECT_EQ(run.out, m_port + "\tverified\t1.3\tTolvane Demo\tEnable\tDisable\t0\n" + m_other.PortName() +
                           "\tno-answer\t\t\t\t\t6\n" + m_third.PortName() +
                           "\tverified\t1.3\tBench Three\tDisable\tEnable\t0\n");
    EXPECT_EQ(run.err, Message("1 of 3 ports were not provisioned."));
    EXPECT_EQ(m_device.State()["pin"], "5678");
    EXPECT_EQ(m_third.State()["auth"], "1");
    EXPECT_EQ(m_third.State()["pin"], "1234");
    EXPECT_EQ(m_other.ReceivedSinceMark(), AccessCodeBytes);
}

}  // namespace
