// A slow device: each awaited byte may take up to the read wait of about five
// seconds (5010 ms). Under Wine every byte, the first one included, is one
// ReadFile with the same time-out, so the device's delay before its reply
// stands for any gap; the gaps between later bytes are tested natively on
// the POSIX back end (NativeFaultsTest.cpp).
#include "FaultyDevice.h"

using ::testing::ElementsAre;
using ::testing::ElementsAreArray;
using ::testing::IsEmpty;

namespace {

TEST_F(FaultyDeviceTest, AByteJustInsideTheWaitIsAccepted)
{
    const auto busy = QueryCom5(DeviceScenario("1.2", "0", "4500", "Slow Unit", "delay=4500\n"));
    EXPECT_GE(busy.count(), 4.5);
    EXPECT_THAT(dialog->TakeMessages(), IsEmpty());
    EXPECT_THAT(InfoTexts(*dialog), ElementsAre("Slow Unit\n", "1.2", "Disable", "4500"));
    EXPECT_THAT(EnabledIn(*dialog, EditGroup), ElementsAreArray(All(EditGroup)));
}

// The reply that comes too late lands in the port after the window gave up;
// it must neither show nor turn up in the next query.
TEST_F(FaultyDeviceTest, AByteJustPastTheWaitTimesOut)
{
    ReadVerifiedDevice();
    const auto busy = QueryCom5(DeviceScenario("1.2", "0", "5500", "Late Unit", "delay=5500\n"));
    EXPECT_GE(busy.count(), 4.9);
    ExpectRefused({ReadTimedOut}, VerifiedTexts);

    ::Sleep(1000);  // the late reply arrives
    ReadVerifiedDevice();
}

}  // namespace
