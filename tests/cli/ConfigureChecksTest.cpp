#include "ExpectedTexts.h"
#include "steps/ConfigureChecks.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

TEST(ConfigureChecks, AcceptsTheLimitsThemselves)
{
    EXPECT_EQ(CheckNewConfiguration(std::string(20, 'n'), std::string(12, '9')).code, ExitCode::Success);
    EXPECT_EQ(CheckNewConfiguration("", "!~\x7f\x80\xff").code, ExitCode::Success);
}

TEST(ConfigureChecks, RefusesInTheWindowsOrderWithItsTexts)
{
    const Outcome name = CheckNewConfiguration(std::string(21, 'n'), "12 34 56 78 90 12");
    EXPECT_EQ(name.code, ExitCode::NameTooLong);
    EXPECT_EQ(name.message, "Invalid new device name. The maximum length is 20 characters.");

    const Outcome length = CheckNewConfiguration("Demo", "12 34 56 78 9");
    EXPECT_EQ(length.code, ExitCode::PinTooLong);
    EXPECT_EQ(length.message, "Invalid new pin code. The maximum length is 12 digits.");

    for (const std::string& pin : std::vector<std::string>{"12 34", "12\t34", "12\x01", "\x7f ", " "}) {
        const Outcome spaces = CheckNewConfiguration("Demo", pin);
        EXPECT_EQ(spaces.code, ExitCode::PinHasSpaces) << pin;
        EXPECT_EQ(spaces.message, "Invalid new pin code. Spaces are not allowed.");
    }
}

}  // namespace
