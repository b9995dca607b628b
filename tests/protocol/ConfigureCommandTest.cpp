#include "Protocol.h"

#include <gtest/gtest.h>

#include <climits>
#include <string>

// The exact bytes the device receives: "%s %i %s ", no terminator, no NUL.
TEST(ConfigureCommand, IsAccessCodeFlagAndPinEachFollowedByOneSpace)
{
    EXPECT_EQ(BuildConfigureCommand(1, "1234"), "kwd38m4tQZXh7 1 1234 ");
    EXPECT_EQ(BuildConfigureCommand(0, "0000"), "kwd38m4tQZXh7 0 0000 ");
    EXPECT_EQ(BuildConfigureCommand(1, ""), "kwd38m4tQZXh7 1  ");
    EXPECT_EQ(BuildConfigureCommand(1, "123456789012345"), "kwd38m4tQZXh7 1 123456789012345 ");
}

TEST(ConfigureCommand, WritesAnyFlagInDecimal)
{
    EXPECT_EQ(BuildConfigureCommand(-1, "9"), "kwd38m4tQZXh7 -1 9 ");
    EXPECT_EQ(BuildConfigureCommand(16, "9"), "kwd38m4tQZXh7 16 9 ");
    EXPECT_EQ(BuildConfigureCommand(INT_MAX, "9"), "kwd38m4tQZXh7 2147483647 9 ");
    EXPECT_EQ(BuildConfigureCommand(INT_MIN, "9"), "kwd38m4tQZXh7 -2147483648 9 ");
}

TEST(ConfigureCommand, EndsThePinAtANulAsACStringWould)
{
    const std::string command = BuildConfigureCommand(0, std::string("12\0"
                                                                     "34",
                                                                     5));
    EXPECT_EQ(command, "kwd38m4tQZXh7 0 12 ");
    EXPECT_EQ(command.find('\0'), std::string::npos);
}
