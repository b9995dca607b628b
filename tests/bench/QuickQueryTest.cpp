// A simulated device started with --quick-query, as the query timing uses it:
// it answers the access code the moment it is in, so whatever follows it,
// even a configure command, is not taken as one.
#include "BenchDevice.h"
#include "BenchNames.h"
#include "PortClient.h"

#include <gtest/gtest.h>

#include <string>

namespace {

constexpr int ReplyWaitMs = 1000;

TEST(QuickQueryTest, AnswersTheCodeAtOnceAndNeverTakesAConfigureCommand)
{
    BenchDevice dev{5};
    dev.SetScenario(BenchDevice::DefaultState);
    PortClient port(dev.PortPath());
    ASSERT_TRUE(port.IsOpen());

    ASSERT_TRUE(port.Send(AccessCodeBytes + " 0 5678 "));
    EXPECT_EQ(port.ReadLine(ReplyWaitMs), AccessCodeBytes + " 1.3 1 1234 Tolvane Demo\n");
    ASSERT_TRUE(dev.WaitForState("queries", "1", ReplyWaitMs));
    EXPECT_EQ(dev.State()["configures"], "0");
    EXPECT_EQ(dev.State()["auth"], "1");
    EXPECT_EQ(dev.State()["pin"], "1234");
}

}  // namespace
