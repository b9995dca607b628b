// The committed res/app.ico is exactly what its text source makes, and a
// broken source is refused with the line that is wrong.
#include "IcoFile.h"
#include "IconSource.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <sstream>

namespace {

std::vector<unsigned char> FileBytes(const std::string& path)
{
    std::ifstream file(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

TEST(AppIcon, RegeneratingFromTheSourceGivesTheCommittedBytes)
{
    std::ifstream text(TOLVANE_ICON_SOURCE);
    ASSERT_TRUE(text) << "cannot read app-icon.txt";
    IconSource source;
    std::string error;
    ASSERT_TRUE(ReadIconSource(text, source, error)) << error;
    const auto committed = FileBytes(TOLVANE_APP_ICO);
    ASSERT_FALSE(committed.empty()) << "cannot read app.ico";
    EXPECT_TRUE(EncodeIcoFile(source) == committed)
        << "res/app.ico is not what tools/icon/app-icon.txt makes: run the app-icon target and commit both";
}

std::string PaletteText()
{
    std::string text = "palette\n";
    for (char digit : std::string("0123456789ABCDEF"))
        text += std::string(1, digit) + " 102030\n";
    return text;
}

std::string ErrorFor(const std::string& text)
{
    std::istringstream in(text);
    IconSource source;
    std::string error;
    return ReadIconSource(in, source, error) ? "accepted" : error;
}

TEST(IconSource, MistakesAreReportedWithTheirLine)
{
    EXPECT_EQ(ErrorFor(PaletteText() + "image 2\n0.\n.F\n"), "accepted");
    EXPECT_EQ(ErrorFor(PaletteText() + "image 2\n0.\n.G\n"), "line 20: expected a row of 2 pixels (0-9, A-F or '.')");
    EXPECT_EQ(ErrorFor(PaletteText() + "image 2\n0..\n"), "line 19: expected a row of 2 pixels (0-9, A-F or '.')");
    EXPECT_EQ(ErrorFor(PaletteText() + "image 2\n00\n"), "the last image is missing rows");
    EXPECT_EQ(ErrorFor(PaletteText() + "image 300\n"), "line 18: expected \"image N\" with N from 1 to 256");
    EXPECT_EQ(ErrorFor(PaletteText()), "no image");
    EXPECT_EQ(ErrorFor("palette\n0 000000\n2 000000\n"), "line 3: expected colour 1 as \"I RRGGBB\"");
    EXPECT_EQ(ErrorFor("# comment\nimage 2\n"), "line 2: expected \"palette\"");
}

}  // namespace
