// The menu and icon resources that every module linking them carries, the program too.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

namespace
{
std::string MenuText(HMENU menu, UINT position)
{
    char text[64] = {};
    GetMenuStringA(menu, position, text, sizeof text, MF_BYPOSITION);
    return text;
}
} // namespace

TEST(Resources, MenuHasTheFilePopupWithExactShiftJisTexts)
{
    // The texts below are what a user sees only under code page 932.
    ASSERT_EQ(GetACP(), 932u);
    const HMENU menu = LoadMenuA(GetModuleHandleA(nullptr), "IDM_MENU");
    ASSERT_NE(menu, nullptr);
    ASSERT_EQ(GetMenuItemCount(menu), 1);
    EXPECT_EQ(MenuText(menu, 0), "\x83\x74\x83\x40\x83\x43\x83\x8b(&F)"); // ファイル(&F)
    const HMENU file = GetSubMenu(menu, 0);
    ASSERT_EQ(GetMenuItemCount(file), 4);
    // データを開く(&L), データを保存(&S), a separator, 終了(&X)
    EXPECT_EQ(GetMenuItemID(file, 0), 200u);
    EXPECT_EQ(MenuText(file, 0), "\x83\x66\x81\x5b\x83\x5e\x82\xf0\x8a\x4a\x82\xad(&L)");
    EXPECT_EQ(GetMenuItemID(file, 1), 201u);
    EXPECT_EQ(MenuText(file, 1), "\x83\x66\x81\x5b\x83\x5e\x82\xf0\x95\xdb\x91\xb6(&S)");
    EXPECT_EQ(GetMenuState(file, 2, MF_BYPOSITION) & MF_SEPARATOR, static_cast<UINT>(MF_SEPARATOR));
    EXPECT_EQ(GetMenuItemID(file, 3), 202u);
    EXPECT_EQ(MenuText(file, 3), "\x8f\x49\x97\xb9(&X)");
    DestroyMenu(menu);
}

TEST(Resources, Icon100IsOne32By32ImageOf16Colours)
{
    const HRSRC group = FindResourceA(nullptr, MAKEINTRESOURCEA(100), RT_GROUP_ICON);
    ASSERT_NE(group, nullptr);
    // The group header's count, then the one entry's width, height and colour count.
    const BYTE* entry = static_cast<const BYTE*>(LockResource(LoadResource(nullptr, group)));
    EXPECT_EQ(entry[4], 1);
    EXPECT_EQ(entry[6], 32);
    EXPECT_EQ(entry[7], 32);
    EXPECT_EQ(entry[8], 16);
}
