// The reply is split as the C library's sscanf with "%s %s %i %s %s" splits
// it. The reference is the C library of each build: glibc natively, MinGW-w64's
// under Wine; they agree on every line here, corner cases such as "0xg" and
// "08" included. Numbers stay within 32 bits, where the libraries part ways
// (glibc truncates, MinGW saturates) and the scan saturates on purpose.
#include "Protocol.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <string>

namespace {

// A fixed pseudo-random sequence (xorshift64), the same on every run.
class Dice {
public:
    std::size_t Roll(std::size_t sides)
    {
        m_state ^= m_state << 13;
        m_state ^= m_state >> 7;
        m_state ^= m_state << 17;
        return static_cast<std::size_t>(m_state % sides);
    }
    template <std::size_t N>
    const char* Pick(const char* const (&choices)[N])
    {
        return choices[Roll(N)];
    }

private:
    std::uint64_t m_state = 0x746F6C76616E65;
};

std::string Word(Dice& dice, std::size_t maxLength)
{
    static const char bytes[] = "abcxXyzABF0123456789+-.,:;_#\x7f\x80\xa0\xc4\xff";
    std::string word(1 + dice.Roll(maxLength), ' ');
    for (char& byte : word)
        byte = bytes[dice.Roll(sizeof bytes - 1)];
    return word;
}

std::string Number(Dice& dice)
{
    static const char* const signs[] = {"", "", "+", "-"};
    static const char* const oddities[] = {"0x", "0X", "0xg", "08", "09", "+", "-", "+-1", "abc", "1abc", "0x-1", "x1"};
    char digits[24];
    const auto value = static_cast<unsigned long>(dice.Roll(0x80000000u));
    switch (dice.Roll(5)) {
        case 0:
            std::snprintf(digits, sizeof digits, "%lu", value % 1000);
            break;
        case 1:
            std::snprintf(digits, sizeof digits, "%lu", value);
            break;
        case 2:
            std::snprintf(digits, sizeof digits, dice.Roll(2) ? "0x%lx" : "0X%lX", value);
            break;
        case 3:
            std::snprintf(digits, sizeof digits, "0%lo", value);
            break;
        default:
            return dice.Pick(oddities);
    }
    return dice.Pick(signs) + std::string(digits);
}

std::string Line(Dice& dice)
{
    static const char* const gaps[] = {" ", " ", " ", "  ", "\t", " \t", "\r", "\v", "\f", " \r "};
    static const char* const versions[] = {"1.1", "1.2", "1.3", "1.4", "1.10", "v1"};
    static const char* const ends[] = {"\n", "\r\n", "", " \n", "\t"};
    std::string line = dice.Roll(6) ? "" : dice.Pick(gaps);
    line += dice.Roll(4) ? AccessCode : Word(dice, 20);
    line += dice.Pick(gaps);
    line += dice.Roll(3) ? dice.Pick(versions) : Word(dice, 7);
    line += dice.Pick(gaps);
    line += Number(dice);
    line += dice.Pick(gaps);
    line += Word(dice, 15);
    for (std::size_t words = dice.Roll(4); words > 0; --words) {
        line += dice.Pick(gaps);
        line += Word(dice, 12);
    }
    line += dice.Pick(ends);
    return line.substr(0, dice.Roll(8) ? line.size() : dice.Roll(line.size() + 1));
}

}  // namespace

TEST(ScanReply, SplitsGeneratedLinesAsSscanfDoes)
{
    Dice dice;
    int compared = 0;
    for (int i = 0; i < 20000; ++i) {
        const std::string line = Line(dice).substr(0, ReplyLine::Capacity - 1);
        char echo[128] = {}, version[128] = {}, pin[128] = {}, name[128] = {};
        int auth = 0;
        const int expected = std::sscanf(line.c_str(), "%s %s %i %s %s", echo, version, &auth, pin, name);
        const std::string echoText = echo, versionText = version, pinText = pin;
        if (echoText.size() >= DeviceInfo::EchoSize || versionText.size() >= DeviceInfo::VersionSize ||
            pinText.size() >= DeviceInfo::PinSize)
            continue;  // does not fit: the scan rejects it where sscanf would overflow
        ++compared;

        DeviceInfo info;
        ASSERT_EQ(ScanReply(line.data(), line.size(), info), expected < 0 ? 0 : expected) << line;
        EXPECT_EQ(info.echo, echoText) << line;
        EXPECT_EQ(info.version, versionText) << line;
        EXPECT_EQ(info.auth, auth) << line;
        EXPECT_EQ(info.pin, pinText) << line;
        EXPECT_EQ(info.name, name) << line;
    }
    EXPECT_GT(compared, 15000);
}
