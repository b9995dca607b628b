#include "Protocol.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cstring>
#include <string>

namespace {

const std::string Code = AccessCode;

ReplyLine MakeLine(const std::string& bytes)
{
    ReplyLine line;
    line.length = std::min(bytes.size(), ReplyLine::Capacity - 1);
    std::memcpy(line.bytes, bytes.data(), line.length);
    return line;
}

LinkResult Parse(const std::string& bytes, DeviceInfo& info)
{
    return ParseReply(MakeLine(bytes), info);
}

void ExpectCleared(const DeviceInfo& info)
{
    EXPECT_STREQ(info.echo, "");
    EXPECT_STREQ(info.version, "");
    EXPECT_EQ(info.auth, 0);
    EXPECT_STREQ(info.pin, "");
    EXPECT_EQ(info.name, "");
    EXPECT_EQ(info.displayName, "");
}

}  // namespace

TEST(ParseReply, AcceptsEachKnownVersionAndSplitsTheFields)
{
    for (const char* version : {"1.1", "1.2", "1.3"}) {
        DeviceInfo info;
        ASSERT_EQ(Parse(Code + " " + version + " 1 1234 Tolvane Demo\n", info), LinkResult::Ok) << version;
        EXPECT_STREQ(info.echo, AccessCode);
        EXPECT_STREQ(info.version, version);
        EXPECT_EQ(info.auth, 1);
        EXPECT_STREQ(info.pin, "1234");
        EXPECT_EQ(info.name, "Tolvane");
        EXPECT_EQ(info.displayName, "Tolvane Demo\n");
    }
}

TEST(ParseReply, NormalisesTheFlagToOneOrZero)
{
    const struct {
        const char* token;
        int auth;
    } cases[] = {
        {"1", 1},           {"0x10", 1},
        {"-1", 1},          {"0", 0},
        {"00", 0},          {"-0", 0},
        {"0x0", 0},         {"4294967296", 1},
        {"0x100000000", 1}, {"-99999999999999999999", 1},  // huge never reads as 0
    };
    for (const auto& c : cases) {
        DeviceInfo info;
        ASSERT_EQ(Parse(Code + " 1.3 " + c.token + " 1234 Demo\n", info), LinkResult::Ok) << c.token;
        EXPECT_EQ(info.auth, c.auth) << c.token;
    }
}

// An unknown version keeps the flag as read, which shows how %i took it apart.
TEST(ParseReply, ReadsTheFlagAsTheCLibraryDoesButSaturates)
{
    const struct {
        const char* tokens;
        int auth;
        const char* pin;
        const char* name;
    } cases[] = {
        {"0X1f P N", 31, "P", "N"},
        {"017 P N", 15, "P", "N"},
        {"+5 P N", 5, "P", "N"},
        {"-0x1F P N", -31, "P", "N"},
        {"1abc d e", 1, "abc", "d"},
        {"08 P N", 0, "8", "P"},
        {"0xg P N", 0, "g", "P"},
        {"0x P N", 0, "P", "N"},
        {"0x-1 P", 0, "-1", "P"},
        {"2147483647 P", INT_MAX, "P", ""},
        {"-2147483648 P", INT_MIN, "P", ""},
        {"2147483648 P", INT_MAX, "P", ""},
        {"-0x80000001 P", INT_MIN, "P", ""},
        {"0xFFFFFFFF P", INT_MAX, "P", ""},
        {"077777777777777777777 P", INT_MAX, "P", ""},
    };
    for (const auto& c : cases) {
        DeviceInfo info;
        ASSERT_EQ(Parse(Code + " 9.9 " + c.tokens + "\n", info), LinkResult::UnsupportedVersion) << c.tokens;
        EXPECT_EQ(info.auth, c.auth) << c.tokens;
        EXPECT_STREQ(info.pin, c.pin) << c.tokens;
        EXPECT_EQ(info.name, c.name) << c.tokens;
    }
}

TEST(ParseReply, RejectsAnyOtherEchoByteForByte)
{
    for (const std::string echo : {"KWD38M4TQZXH7", "kwd38m4tQZXh", "kwd38m4tQZXh7x", "kwd38m4tQZXh7\x80"}) {
        DeviceInfo info;
        EXPECT_EQ(Parse(echo + " 1.3 1 1234 Demo\n", info), LinkResult::BadEcho) << echo;
        EXPECT_EQ(info.echo, echo);
    }
    DeviceInfo info;
    EXPECT_EQ(Parse("other 1.4 1 1234 Demo\n", info), LinkResult::BadEcho) << "the echo is checked first";
}

TEST(ParseReply, IgnoresAnyOtherVersion)
{
    for (const char* version : {"1.4", "1.10", "1.3.0", "v1.3", "1.30", "01.3"}) {
        DeviceInfo info;
        EXPECT_EQ(Parse(Code + " " + version + " 5 1234 Demo\n", info), LinkResult::UnsupportedVersion) << version;
        EXPECT_EQ(info.auth, 5) << "not normalised";
    }
}

TEST(ParseReply, RejectsRepliesWithoutEchoVersionFlagAndPin)
{
    const std::string replies[] = {"",
                                   "\n",
                                   "\r\n",
                                   "   \t \n",
                                   Code + "\n",
                                   Code + " 1.3\n",
                                   Code + " 1.3 1\n",
                                   Code + " 1.3 1 \r\n",
                                   Code + " 1.3 abc 1234 Demo\n",
                                   Code + " 1.3 + 1234 Demo\n",
                                   Code + " 1.3 - 1234\n",
                                   Code + " 1.3 - 5 1234\n",
                                   Code + " 1.3 x1 1234 Demo\n"};
    for (const std::string& reply : replies) {
        DeviceInfo info;
        EXPECT_EQ(Parse(reply, info), LinkResult::BadReply) << reply;
        ExpectCleared(info);
    }
}

TEST(ParseReply, RejectsTokensLongerThanTheirFieldsInsteadOfCuttingThem)
{
    const std::string pin15(15, '7'), echo67(67, 'e');
    DeviceInfo info;
    EXPECT_EQ(Parse(Code + " 1.3.000 1 " + pin15 + " Demo\n", info), LinkResult::UnsupportedVersion);
    EXPECT_STREQ(info.pin, pin15.c_str());
    EXPECT_EQ(Parse(echo67 + " 1.3 1 1234 Demo\n", info), LinkResult::BadEcho);
    for (const std::string& reply :
         {Code + " 1.3.0000 1 1234 Demo\n", Code + " 1.3 1 " + pin15 + "8 Demo\n", echo67 + "e 1.3 1 1234 Demo\n"}) {
        EXPECT_EQ(Parse(reply, info), LinkResult::BadReply) << reply;
        ExpectCleared(info);
    }
}

TEST(ParseReply, RejectsANulByteAnywhereInTheLine)
{
    for (const std::size_t at : {std::size_t{0}, std::size_t{5}, std::size_t{25}, std::size_t{29}}) {
        std::string reply = Code + " 1.3 1 1234 Demo\n";
        reply[at] = '\0';
        DeviceInfo info;
        EXPECT_EQ(Parse(reply, info), LinkResult::BadReply) << at;
        ExpectCleared(info);
    }
}

TEST(ParseReply, StaysInsideAnyReplyLine)
{
    ReplyLine full;
    std::memset(full.bytes, 0xFF, sizeof full.bytes);
    full.length = ReplyLine::Capacity;  // no room for the NUL: not a line the reader makes
    DeviceInfo info;
    EXPECT_EQ(ParseReply(full, info), LinkResult::BadReply);
    full.length = ReplyLine::Capacity - 1;
    EXPECT_EQ(ParseReply(full, info), LinkResult::BadReply);
    EXPECT_EQ(Parse(Code + " 1.3 1 1234 Demo", info), LinkResult::Ok) << "no line feed";
    EXPECT_EQ(info.displayName, "Demo");
}

TEST(ParseReply, TakesTheDisplayNameAfterTheFourthSpace)
{
    const struct {
        std::string reply;
        const char* name;
        const char* displayName;
    } cases[] = {
        {Code + " 1.3 1 1234 Tolvane  Demo Unit\r\n", "Tolvane", "Tolvane  Demo Unit\r\n"},
        {Code + " 1.3 1 1234 Demo\r\n", "Demo", "Demo\r\n"},
        {Code + "  1.3 1 1234 Demo\n", "Demo", "1234 Demo\n"},
        {Code + "\t1.3\t1\t1234\tDemo\n", "Demo", ""},  // tabs are not spaces here
        {Code + " 1.3 1 1234\n", "", ""},
        {Code + " 1.3 1 1234 \n", "", "\n"},
        {Code + " 1.2 1 1234 \xC4rger\n", "\xC4rger", "\xC4rger\n"},
    };
    for (const auto& c : cases) {
        DeviceInfo info;
        ASSERT_EQ(Parse(c.reply, info), LinkResult::Ok) << c.reply;
        EXPECT_EQ(info.name, c.name) << c.reply;
        EXPECT_EQ(info.displayName, c.displayName) << c.reply;
    }
}

TEST(ParseReply, KeepsNothingOfAnEarlierReply)
{
    DeviceInfo info;
    ASSERT_EQ(Parse(Code + " 1.3 1 1234 Demo\n", info), LinkResult::Ok);
    EXPECT_EQ(Parse("\n", info), LinkResult::BadReply) << "a bare line feed is not the earlier device";
    ExpectCleared(info);

    ASSERT_EQ(Parse(Code + " 1.3 1 1234 Demo\n", info), LinkResult::Ok);
    ASSERT_EQ(Parse(Code + " 1.2 0 42\n", info), LinkResult::Ok);
    EXPECT_EQ(info.name, "");
    EXPECT_STREQ(info.pin, "42");
    EXPECT_EQ(info.auth, 0);
}
