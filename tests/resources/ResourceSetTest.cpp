// The module's resources besides the dialogs: which kinds exist, the string
// table, the icon and the version block.
#include "VersionBlock.h"
#include "resource.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <set>
#include <string>
#include <vector>

namespace {

BOOL CALLBACK CollectType(HMODULE, LPSTR type, LONG_PTR found)
{
    if (IS_INTRESOURCE(type))
        reinterpret_cast<std::set<ULONG_PTR>*>(found)->insert(reinterpret_cast<ULONG_PTR>(type));
    else
        reinterpret_cast<std::set<ULONG_PTR>*>(found)->insert(0);  // a named type: not ours
    return TRUE;
}

BOOL CALLBACK CollectName(HMODULE, LPCSTR, LPSTR name, LONG_PTR found)
{
    reinterpret_cast<std::vector<ULONG_PTR>*>(found)->push_back(IS_INTRESOURCE(name) ? reinterpret_cast<ULONG_PTR>(name)
                                                                                     : 0);
    return TRUE;
}

// No menu, accelerators, bitmap, cursor or manifest: only what the program uses.
TEST(ResourceSet, OnlyIconsDialogsStringsAndVersion)
{
    std::set<ULONG_PTR> types;
    EnumResourceTypesA(GetModuleHandleA(nullptr), CollectType, reinterpret_cast<LONG_PTR>(&types));
    const std::set<ULONG_PTR> expected{3 /* RT_ICON */, 5 /* RT_DIALOG */, 6 /* RT_STRING */, 14 /* RT_GROUP_ICON */,
                                       16 /* RT_VERSION */};
    EXPECT_EQ(types, expected);
}

TEST(StringTable, HoldsOnlyTheAboutMenuItem)
{
    char text[64] = {};
    EXPECT_EQ(LoadStringA(GetModuleHandleA(nullptr), IDS_ABOUT_MENU, text, sizeof text), 17);
    EXPECT_STREQ(text, "&About Tolvane...");

    // Strings are stored in blocks of 16; block n + 1 holds ids 16n to 16n + 15.
    std::vector<ULONG_PTR> blocks;
    EnumResourceNamesA(GetModuleHandleA(nullptr), RT_STRING, CollectName, reinterpret_cast<LONG_PTR>(&blocks));
    EXPECT_EQ(blocks, std::vector<ULONG_PTR>{IDS_ABOUT_MENU / 16 + 1});
    const Bytes block = ModuleResource(RT_STRING, IDS_ABOUT_MENU / 16 + 1);
    ByteCursor in(block);
    for (int slot = 0; slot < 16; ++slot) {
        const std::uint16_t length = in.U16();
        for (int i = 0; i < length; ++i)
            in.U16();
        EXPECT_EQ(length != 0, slot == IDS_ABOUT_MENU % 16) << "string " << (IDS_ABOUT_MENU / 16 * 16 + slot);
    }
    EXPECT_TRUE(in.ok());
}

TEST(Icon, OneThirtyTwoAndOneSixteenPixelImageOfSixteenColours)
{
    const Bytes group = ModuleResource(RT_GROUP_ICON, IDI_APP);
    ASSERT_FALSE(group.empty()) << "no icon group IDI_APP";
    ByteCursor in(group);
    EXPECT_EQ(in.U16(), 0);
    EXPECT_EQ(in.U16(), 1);  // icons, not cursors
    ASSERT_EQ(in.U16(), 2);
    const int sizes[] = {32, 16};
    for (int size : sizes) {
        SCOPED_TRACE(std::to_string(size) + " pixels");
        EXPECT_EQ(in.U8(), size);
        EXPECT_EQ(in.U8(), size);
        EXPECT_EQ(in.U8(), 16);  // colours
        EXPECT_EQ(in.U8(), 0);
        EXPECT_EQ(in.U16(), 1);  // planes
        EXPECT_EQ(in.U16(), 4);  // bits per pixel
        const std::uint32_t bytes = in.U32();
        const Bytes image = ModuleResource(RT_ICON, in.U16());
        ASSERT_EQ(image.size(), bytes);
        ByteCursor header(image);
        EXPECT_EQ(header.U32(), 40u);
        EXPECT_EQ(header.U32(), std::uint32_t(size));
        EXPECT_EQ(header.U32(), std::uint32_t(2 * size));  // colour rows and mask rows
        EXPECT_EQ(header.U16(), 1);
        EXPECT_EQ(header.U16(), 4);
        HANDLE loaded = LoadImageA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDI_APP), IMAGE_ICON, size, size, 0);
        EXPECT_NE(loaded, nullptr);
        if (loaded)
            DestroyIcon(static_cast<HICON>(loaded));
    }
    EXPECT_TRUE(in.ok());
    EXPECT_TRUE(in.AtEnd());
}

TEST(Version, FixedPartSaysVersion1100ForA32BitWindowsApplication)
{
    const auto root = ReadVersionBlock(ModuleResource(RT_VERSION, 1));
    ASSERT_TRUE(root) << "no version block, or malformed";
    EXPECT_EQ(root->key, "VS_VERSION_INFO");
    ASSERT_EQ(root->binary.size(), sizeof(VS_FIXEDFILEINFO));
    VS_FIXEDFILEINFO fixed{};
    std::copy(root->binary.begin(), root->binary.end(), reinterpret_cast<std::uint8_t*>(&fixed));
    EXPECT_EQ(fixed.dwSignature, 0xFEEF04BDu);
    EXPECT_EQ(fixed.dwFileVersionMS, 0x00010001u);
    EXPECT_EQ(fixed.dwFileVersionLS, 0x00000000u);
    EXPECT_EQ(fixed.dwProductVersionMS, 0x00010001u);
    EXPECT_EQ(fixed.dwProductVersionLS, 0x00000000u);
    EXPECT_EQ(fixed.dwFileFlagsMask, 0x3Fu);
    EXPECT_EQ(fixed.dwFileFlags, 0u);
    EXPECT_EQ(fixed.dwFileOS, DWORD{VOS__WINDOWS32});
    EXPECT_EQ(fixed.dwFileType, DWORD{VFT_APP});
    EXPECT_EQ(fixed.dwFileSubtype, 0u);
}

TEST(Version, UsEnglishUnicodeStringsInOrder)
{
    const auto root = ReadVersionBlock(ModuleResource(RT_VERSION, 1));
    ASSERT_TRUE(root);
    std::vector<std::string> blocks;
    for (const VersionNode& child : root->children)
        blocks.push_back(child.key);
    EXPECT_EQ(blocks, (std::vector<std::string>{"StringFileInfo", "VarFileInfo"}));

    const VersionNode* strings = root->Child("StringFileInfo");
    ASSERT_TRUE(strings);
    ASSERT_EQ(strings->children.size(), 1u);
    EXPECT_EQ(strings->children[0].key, "040904B0");
    std::vector<std::pair<std::string, std::string>> values;
    for (const VersionNode& value : strings->children[0].children) {
        EXPECT_TRUE(value.isText) << value.key;
        values.emplace_back(value.key, value.text);
    }
    ASSERT_EQ(values.size(), 9u);
    const char* const keys[] = {"CompanyName",     "FileDescription",  "FileVersion", "InternalName",  "LegalCopyright",
                                "LegalTrademarks", "OriginalFilename", "ProductName", "ProductVersion"};
    for (std::size_t i = 0; i < values.size(); ++i)
        EXPECT_EQ(values[i].first, keys[i]);
    EXPECT_EQ(values[0].second, "");
    EXPECT_EQ(values[1].second, "Tolvane MFC Application");
    EXPECT_EQ(values[2].second, "1, 1, 0, 0");
    EXPECT_EQ(values[3].second, "Tolvane");
    EXPECT_FALSE(values[4].second.empty()) << "legal notice";
    EXPECT_EQ(values[5].second, "");
    EXPECT_EQ(values[6].second, "Tolvane.EXE");
    EXPECT_EQ(values[7].second, "Tolvane Application");
    EXPECT_EQ(values[8].second, "1, 1, 0, 0");

    const VersionNode* variables = root->Child("VarFileInfo");
    ASSERT_TRUE(variables);
    ASSERT_EQ(variables->children.size(), 1u);
    EXPECT_EQ(variables->children[0].key, "Translation");
    EXPECT_EQ(variables->children[0].binary, (Bytes{0x09, 0x04, 0xB0, 0x04}));
}

}  // namespace
