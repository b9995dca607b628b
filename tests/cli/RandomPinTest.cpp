// PINs drawn at random: uniform digits from the system's generator, all
// different within a run, and a generator that fails stops the row before
// anything is written.
#include "BenchNames.h"
#include "ArgumentParser.h"
#include "RunCommand.h"
#include "Protocol.h"
#include "bench/RandomPin.h"
#include "ScriptedSerialPort.h"

#include <gtest/gtest.h>

#include <sstream>

namespace {

// Pearson's test of the digits' counts against ten equal ones (9 degrees of
// freedom). 44.81 is the value a uniform source exceeds with probability
// 1e-6: this test fails by chance once in a million runs. The modulo bias
// of taking every byte % 10 (digits 0 to 5 drawn 26 times in 256, the rest
// 25) gives about 110 over 300,000 digits.
TEST(RandomPin, DigitsAreUniform)
{
    constexpr double CriticalValue = 44.81;
    constexpr int Pins = 25000;
    EXPECT_EQ(MaxRandomPinDigits, 12);  // the longest random PIN, drawn here
    PinDrawer drawer(SystemRandomBytes);
    double counts[10] = {};
    for (int i = 0; i < Pins; ++i) {
        std::string pin;
        ASSERT_EQ(drawer.Draw(12, "", pin).code, ExitCode::Success);
        ASSERT_EQ(pin.size(), 12u);
        for (char digit : pin) {
            ASSERT_TRUE(digit >= '0' && digit <= '9') << pin;
            ++counts[digit - '0'];
        }
    }
    const double expected = Pins * 12 / 10.0;
    double chiSquared = 0;
    for (double count : counts)
        chiSquared += (count - expected) * (count - expected) / expected;
    EXPECT_LT(chiSquared, CriticalValue);
}

// Half of all 4-digit PINs, the most a run may ask for: every one different,
// and none the device's own.
TEST(RandomPin, APinIsNeverGivenTwiceInARun)
{
    EXPECT_EQ(MaxRandomPinsPerRun(4), 5000u);
    PinDrawer drawer(SystemRandomBytes);
    std::vector<bool> seen(10000, false);
    for (int i = 0; i < 5000; ++i) {
        std::string pin;
        ASSERT_EQ(drawer.Draw(4, "1234", pin).code, ExitCode::Success);
        ASSERT_NE(pin, "1234");
        ASSERT_FALSE(seen[std::stoul(pin)]) << pin;
        seen[std::stoul(pin)] = true;
    }
}

// configure --pin random with a generator that fails, and with one that
// always gives the same bytes: the device is read, and nothing is written.
TEST(RandomPin, AGeneratorThatFailsStopsTheRowBeforeTheWrite)
{
    struct Row {
        RandomSource source;
        std::vector<std::string> args;
        std::string err;
    };
    const RandomSource fails = [](unsigned char*, std::size_t, std::string& reason) {
        reason = "Function not implemented";
        return false;
    };
    const RandomSource stuck = [](unsigned char* buffer, std::size_t size, std::string&) {
        std::fill(buffer, buffer + size, 0);
        return true;
    };
    const Row rows[] = {
        {fails,
         {"configure", "/dev/x", "--auth", "on", "--pin", "random"},
         "Cannot draw a random PIN: Function not implemented.\n"},
        // The device's PIN is 0000: the only PIN this source draws.
        {stuck,
         {"configure", "/dev/x", "--auth", "on", "--pin", "random:4"},
         "Cannot draw a random PIN: every draw was a PIN already given.\n"},
    };
    for (const Row& row : rows) {
        auto script = std::make_shared<PortScript>(AccessCodeBytes + " 1.3 1 0000 Tolvane Demo\n");
        std::ostringstream out, err;
        CommandContext context{out, err,
                               [script](const PortAddress&) { return std::make_unique<ScriptedSerialPort>(script); },
                               [](std::vector<std::string>&) { return false; }, PortStyle::Posix};
        context.random = row.source;
        const ParsedArguments parsed = ParseArguments(row.args);
        ASSERT_TRUE(parsed.ok) << parsed.error;
        EXPECT_EQ(RunCommand(parsed.options, context), ExitCode::Failure);
        EXPECT_EQ(out.str(), "");
        EXPECT_EQ(err.str(), row.err);
        EXPECT_EQ(script->Written(), AccessCodeBytes);
    }
}

}  // namespace
