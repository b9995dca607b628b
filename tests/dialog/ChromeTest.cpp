// The main window's chrome: the About item of the system menu and the About
// box, the icons, and where a minimised window draws its icon.
#include "DialogTestSupport.h"
#include "IconPlacement.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

using ::testing::IsEmpty;

namespace {

class ChromeTest : public ::testing::Test {
protected:
    std::unique_ptr<RunningDialog> dialog = StartMainWindow(std::make_shared<PortScript>(""));
};

TEST_F(ChromeTest, TheSystemMenuEndsWithASeparatorAndTheAboutItem)
{
    const HMENU menu = ::GetSystemMenu(dialog->Window(), FALSE);
    ASSERT_NE(menu, nullptr);
    const int count = ::GetMenuItemCount(menu);
    ASSERT_GE(count, 2);

    EXPECT_TRUE(::GetMenuState(menu, static_cast<UINT>(count - 2), MF_BYPOSITION) & MF_SEPARATOR);
    EXPECT_EQ(::GetMenuItemID(menu, count - 1), static_cast<UINT>(IDM_ABOUT));
    char text[64] = {};
    ::GetMenuStringA(menu, static_cast<UINT>(count - 1), text, static_cast<int>(sizeof text), MF_BYPOSITION);
    EXPECT_STREQ(text, "&About Tolvane...");
}

TEST_F(ChromeTest, AboutCommandsOpenTheAboutBoxWhichOkCloses)
{
    for (WPARAM command : {16, 31}) {
        SCOPED_TRACE(command);
        dialog->Send(WM_SYSCOMMAND, command, 0);  // returns once the box has closed

        const std::vector<ShownDialog> shown = dialog->TakeDialogs();
        ASSERT_EQ(shown.size(), 1u);
        EXPECT_EQ(shown[0].caption, "About Tolvane");
        EXPECT_EQ(shown[0].owner, dialog->Window());
        ASSERT_EQ(shown[0].controlTexts.size(), 4u);
        EXPECT_EQ(shown[0].controlTexts[1], "Tolvane Version 1.0");
        EXPECT_FALSE(shown[0].controlTexts[2].empty());  // the legal notice
        EXPECT_EQ(shown[0].controlTexts[3], "OK");
    }
    EXPECT_TRUE(::IsWindowEnabled(dialog->Window()));
}

// Both templates put their dialog at (0, 0) and leave the rest to the
// framework: the main window opens centred on the work area, the About box
// centred over the main window, each edge by (low + high) / 2 - size / 2.
int CentredEdge(LONG low, LONG high, LONG size)
{
    return static_cast<int>((low + high) / 2 - size / 2);
}

TEST_F(ChromeTest, TheMainWindowOpensCentredOnTheWorkAreaAndTheAboutBoxOverIt)
{
    RECT area{};
    ASSERT_TRUE(::SystemParametersInfoA(SPI_GETWORKAREA, 0, &area, 0));
    RECT main{};
    ASSERT_TRUE(::GetWindowRect(dialog->Window(), &main));
    const LONG width = main.right - main.left;
    const LONG height = main.bottom - main.top;
    ASSERT_LE(width, area.right - area.left);  // it fits, so nothing moves it back inside
    ASSERT_LE(height, area.bottom - area.top);
    EXPECT_EQ(main.left, CentredEdge(area.left, area.right, width));
    EXPECT_EQ(main.top, CentredEdge(area.top, area.bottom, height));

    dialog->Send(WM_SYSCOMMAND, IDM_ABOUT, 0);
    const std::vector<ShownDialog> shown = dialog->TakeDialogs();
    ASSERT_EQ(shown.size(), 1u);
    const RECT about = shown[0].rect;
    EXPECT_EQ(about.left, CentredEdge(main.left, main.right, about.right - about.left));
    EXPECT_EQ(about.top, CentredEdge(main.top, main.bottom, about.bottom - about.top));
}

TEST_F(ChromeTest, OtherSystemCommandsDoNotOpenIt)
{
    dialog->Send(WM_SYSCOMMAND, 32, 0);
    dialog->Send(WM_SYSCOMMAND, 15, 0);
    EXPECT_THAT(dialog->TakeDialogs(), IsEmpty());
    EXPECT_THAT(dialog->TakeMessages(), IsEmpty());
}

TEST_F(ChromeTest, BothIconsAreTheApplicationIcon)
{
    const HICON appIcon = ::LoadIconA(::GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDI_APP));
    ASSERT_NE(appIcon, nullptr);
    EXPECT_EQ(reinterpret_cast<HICON>(dialog->Send(WM_GETICON, ICON_BIG, 0)), appIcon);
    EXPECT_EQ(reinterpret_cast<HICON>(dialog->Send(WM_GETICON, ICON_SMALL, 0)), appIcon);
    EXPECT_EQ(reinterpret_cast<HICON>(dialog->Send(WM_QUERYDRAGICON, 0, 0)), appIcon);
}

TEST(IconPlacementTest, CentresWithTheOddPixelAfterAndTruncatesTowardZero)
{
    EXPECT_EQ(CentredOffset(32, 32), 0);
    EXPECT_EQ(CentredOffset(36, 32), 2);
    EXPECT_EQ(CentredOffset(37, 32), 3);  // (37 - 32 + 1) / 2
    EXPECT_EQ(CentredOffset(33, 32), 1);
    EXPECT_EQ(CentredOffset(31, 32), 0);   // 0 / 2
    EXPECT_EQ(CentredOffset(30, 32), 0);   // -1 / 2 truncates to 0, not -1
    EXPECT_EQ(CentredOffset(28, 32), -1);  // -3 / 2
    EXPECT_EQ(CentredOffset(0, 32), -15);  // -31 / 2
    EXPECT_EQ(CentredOffset(160, 16), 72);
    EXPECT_EQ(CentredOffset(161, 16), 73);
}

}  // namespace
