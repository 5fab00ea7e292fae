// The menu resource that every module linking the resources carries, the program too.
#include <windows.h>

#include <gtest/gtest.h>

TEST(Resources, TheFileMenuHasItsItemsInShiftJis)
{
    // The texts are what a user sees only under code page 932.
    ASSERT_EQ(GetACP(), 932u);
    const HMENU menu = LoadMenuA(GetModuleHandleA(nullptr), "IDM_MENU");
    ASSERT_EQ(GetMenuItemCount(menu), 1);
    const HMENU file = GetSubMenu(menu, 0);
    // ファイル(&F): データを開く(&L), データを保存(&S), a separator, 終了(&X)
    const std::pair<HMENU, const char*> items[] = {
        {menu, "\x83\x74\x83\x40\x83\x43\x83\x8b(&F)"},
        {file, "\x83\x66\x81\x5b\x83\x5e\x82\xf0\x8a\x4a\x82\xad(&L)"},
        {file, "\x83\x66\x81\x5b\x83\x5e\x82\xf0\x95\xdb\x91\xb6(&S)"},
        {file, ""},
        {file, "\x8f\x49\x97\xb9(&X)"}};
    const UINT ids[] = {UINT(-1), 200, 201, 0, 202};
    for (UINT k = 0; k < 5; ++k)
    {
        char text[64] = {};
        const UINT position = k == 0 ? 0 : k - 1;
        GetMenuStringA(items[k].first, position, text, sizeof text, MF_BYPOSITION);
        EXPECT_STREQ(text, items[k].second);
        EXPECT_EQ(GetMenuItemID(items[k].first, position), ids[k]);
    }
    EXPECT_EQ(GetMenuItemCount(file), 4);
    DestroyMenu(menu);
}
