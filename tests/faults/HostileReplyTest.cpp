// Replies no sound device sends: every one is refused with its message, shows
// nothing, unlocks nothing, and leaves no byte behind for the next query.
#include "FaultyDevice.h"

using ::testing::ElementsAre;
using ::testing::ElementsAreArray;
using ::testing::IsEmpty;

namespace {

// A valid reply of a device other than the verified one, as control-file
// text: if it were left behind in the port, the next query would show it.
const std::string LeftoverReply = std::string(AccessCodeBytes) + " 1.2 0 6666 Leftover\\n";

// The longest line the reader takes without a line feed.
constexpr std::size_t LongestLine = 127;

// Control-file text for a reply of exactly `bytes` (escapes as in C).
std::string Raw(const std::string& bytes)
{
    return "raw=" + bytes + "\n";
}

// A line of 127 bytes without a line feed that goes on with `rest`.
std::string OverlongLineThen(const std::string& rest)
{
    const std::string start = std::string(AccessCodeBytes) + " 1.3 1 1234 ";
    return start + std::string(LongestLine - start.size(), 'N') + rest;
}

struct HostileReply {
    const char* what;
    std::string faults;
    std::vector<std::string> messages;
};

const HostileReply HostileReplies[] = {
    {"a NUL byte inside the PIN", Raw(std::string(AccessCodeBytes) + " 1.3 1 12\\x0034 Nul\\n"), {IncorrectData}},
    {"only NUL bytes", Raw("\\x00\\x00\\x00\\x00\\n"), {IncorrectData}},
    {"only 0xFF bytes", Raw("\\xff\\xff\\xff\\xff\\xff\\xff\\n"), {IncorrectData}},
    {"0xFF bytes as the version", Raw(std::string(AccessCodeBytes) + " \\xff\\xff 1 1234 Unit\\n"), {}},
    {"only spaces", Raw(std::string(40, ' ') + "\\n"), {IncorrectData}},
    {"a line of 161 bytes whose last 34 make a valid line", Raw(OverlongLineThen(LeftoverReply)), {IncorrectData}},
};

TEST_F(FaultyDeviceTest, GarbageIsRefusedWhetherOrNotADeviceWasReadBefore)
{
    for (const HostileReply& reply : HostileReplies) {
        SCOPED_TRACE(reply.what);
        RestartWindow();
        QueryCom5(VerifiedDevice + reply.faults);
        ExpectRefused(reply.messages, NothingShown);

        ReadVerifiedDevice();
        QueryCom5(VerifiedDevice + reply.faults);
        ExpectRefused(reply.messages, VerifiedTexts);
    }
}

// The reader stops at the 127th byte: it neither waits for the end nor for
// a time-out, and what the device sends on is dropped with the port.
TEST_F(FaultyDeviceTest, AReplyThatNeverEndsIsRefusedAtOnce)
{
    ReadVerifiedDevice();
    const auto busy = QueryCom5(VerifiedDevice + Raw(std::string(6000, 'x')) + "gap=1\n");
    EXPECT_LT(busy.count(), 3.0);  // the device goes on for six seconds
    ExpectRefused({IncorrectData}, VerifiedTexts);

    ReadVerifiedDevice();
}

// The reader takes one byte at a time up to the first line feed; the second
// line stays in the port, which the next query opens afresh.
TEST_F(FaultyDeviceTest, OfTwoLinesAtOnceTheFirstCountsAndTheSecondIsNeverRead)
{
    QueryCom5(Raw(std::string(AccessCodeBytes) + " 1.3 0 1111 First\\n" + LeftoverReply));
    EXPECT_THAT(dialog->TakeMessages(), IsEmpty());
    EXPECT_THAT(InfoTexts(*dialog), ElementsAre("First\n", "1.3", "Disable", "1111"));

    ReadVerifiedDevice();
}

// Bytes above 0x7F are no white space: a name made of them is shown as sent.
TEST_F(FaultyDeviceTest, HighBytesInTheNameAreShownAsSent)
{
    QueryCom5(Raw(std::string(AccessCodeBytes) + " 1.2 1 4321 \\xff\\xfe \\x80\\n"));
    EXPECT_THAT(dialog->TakeMessages(), IsEmpty());
    EXPECT_THAT(InfoTexts(*dialog), ElementsAre("\xff\xfe \x80\n", "1.2", "Enable", "4321"));
    EXPECT_THAT(EnabledIn(*dialog, EditGroup), ElementsAreArray(All(EditGroup)));
}

}  // namespace
