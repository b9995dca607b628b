// The About box's template as built into the module.
#include "ControlClasses.h"
#include "TemplateReader.h"
#include "resource.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <vector>

namespace {

TEST(AboutTemplate, ClassicTemplateWithCaptionPlaceAndFont)
{
    const auto dialog = ReadDialogTemplate(ModuleResource(RT_DIALOG, IDD_ABOUT));
    ASSERT_TRUE(dialog) << "IDD_ABOUT missing or malformed";
    EXPECT_FALSE(dialog->extended);
    // Not visible: it shows when it runs.
    EXPECT_EQ(dialog->style, DWORD{WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_SETFONT});
    EXPECT_EQ(dialog->exStyle, 0u);
    EXPECT_EQ(dialog->caption, "About Tolvane");
    EXPECT_EQ((std::vector<int>{dialog->x, dialog->y, dialog->cx, dialog->cy}), (std::vector<int>{0, 0, 235, 55}));
    EXPECT_EQ(dialog->pointSize, 8);
    EXPECT_EQ(dialog->face, "MS Sans Serif");
}

TEST(AboutTemplate, IconNameNoticeAndOkButton)
{
    const auto dialog = ReadDialogTemplate(ModuleResource(RT_DIALOG, IDD_ABOUT));
    ASSERT_TRUE(dialog);
    ASSERT_EQ(dialog->items.size(), 4u);
    const DialogItem& icon = dialog->items[0];
    EXPECT_EQ(icon.id, IDC_STATIC);
    EXPECT_EQ(icon.windowClass.ordinal, StaticClass);
    EXPECT_EQ(icon.text.ordinal, IDI_APP);
    EXPECT_EQ(icon.style, DWORD{WS_CHILD | WS_VISIBLE | SS_ICON});
    EXPECT_EQ((std::vector<int>{icon.x, icon.y, icon.cx, icon.cy}), (std::vector<int>{11, 17, 20, 20}));

    const DialogItem& name = dialog->items[1];
    EXPECT_EQ(name.id, IDC_STATIC);
    EXPECT_EQ(name.windowClass.ordinal, StaticClass);
    EXPECT_EQ(name.text.text, "Tolvane Version 1.0");
    EXPECT_EQ(name.style, DWORD{WS_CHILD | WS_VISIBLE | WS_GROUP | SS_LEFT | SS_NOPREFIX});
    EXPECT_EQ((std::vector<int>{name.x, name.y, name.cx, name.cy}), (std::vector<int>{40, 10, 119, 8}));

    // The legal notice is ours to word: one short line, no mnemonic.
    const DialogItem& notice = dialog->items[2];
    EXPECT_EQ(notice.id, IDC_STATIC);
    EXPECT_EQ(notice.windowClass.ordinal, StaticClass);
    EXPECT_FALSE(notice.text.text.empty());
    EXPECT_EQ(notice.text.text.find('&'), std::string::npos);
    EXPECT_EQ(notice.style, DWORD{WS_CHILD | WS_VISIBLE | WS_GROUP | SS_LEFT});
    EXPECT_EQ((std::vector<int>{notice.x, notice.y, notice.cx, notice.cy}), (std::vector<int>{40, 25, 119, 8}));

    const DialogItem& ok = dialog->items[3];
    EXPECT_EQ(ok.id, IDOK);
    EXPECT_EQ(ok.windowClass.ordinal, ButtonClass);
    EXPECT_EQ(ok.text.text, "OK");
    EXPECT_EQ(ok.style, DWORD{WS_CHILD | WS_VISIBLE | WS_GROUP | WS_TABSTOP | BS_DEFPUSHBUTTON});
    EXPECT_EQ((std::vector<int>{ok.x, ok.y, ok.cx, ok.cy}), (std::vector<int>{178, 7, 50, 14}));
}

INT_PTR CALLBACK PassiveDialogProc(HWND, UINT message, WPARAM, LPARAM)
{
    return message == WM_INITDIALOG;
}

TEST(AboutWindow, IconControlShowsTheApplicationIcon)
{
    HWND about =
        CreateDialogParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDD_ABOUT), nullptr, PassiveDialogProc, 0);
    ASSERT_NE(about, nullptr) << "CreateDialogParamA failed: " << GetLastError();
    HWND icon = GetWindow(about, GW_CHILD);
    ASSERT_NE(icon, nullptr);
    EXPECT_NE(SendMessageA(icon, STM_GETICON, 0, 0), 0);
    DestroyWindow(about);
}

}  // namespace
