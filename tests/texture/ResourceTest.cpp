// Checks the menu, icon and bitmap resources of this test program, or of the module whose
// path is given as the first argument after the GoogleTest options.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

namespace
{
HMODULE checkedModule = nullptr;

std::string MenuText(HMENU menu, UINT position)
{
    char text[64] = {};
    const int length = GetMenuStringA(menu, position, text, sizeof(text), MF_BYPOSITION);
    return std::string(text, length > 0 ? length : 0);
}

UINT MenuItemType(HMENU menu, UINT position)
{
    MENUITEMINFOA info = {};
    info.cbSize = sizeof(info);
    info.fMask = MIIM_FTYPE;
    GetMenuItemInfoA(menu, position, TRUE, &info);
    return info.fType;
}

template <typename T> const T* Resource(LPCSTR name, LPCSTR type, DWORD* size = nullptr)
{
    const HRSRC found = FindResourceA(checkedModule, name, type);
    if (found == nullptr)
        return nullptr;
    if (size != nullptr)
        *size = SizeofResource(checkedModule, found);
    return static_cast<const T*>(LockResource(LoadResource(checkedModule, found)));
}

#pragma pack(push, 2)
struct GroupIconEntry
{
    BYTE width;
    BYTE height;
    BYTE colourCount;
    BYTE reserved;
    WORD planes;
    WORD bitCount;
    DWORD bytesInRes;
    WORD id;
};
struct GroupIcon
{
    WORD reserved;
    WORD type;
    WORD count;
    GroupIconEntry entries[1];
};
#pragma pack(pop)
} // namespace

TEST(Resources, MenuHasTheFilePopupWithExactShiftJisTexts)
{
    // The texts below are what a user sees only under code page 932.
    ASSERT_EQ(GetACP(), 932u);
    const HMENU menu = LoadMenuA(checkedModule, "IDM_MENU");
    ASSERT_NE(menu, nullptr);
    ASSERT_EQ(GetMenuItemCount(menu), 1);
    // ファイル(&F)
    EXPECT_EQ(MenuText(menu, 0), "\x83\x74\x83\x40\x83\x43\x83\x8b(&F)");

    const HMENU file = GetSubMenu(menu, 0);
    ASSERT_NE(file, nullptr);
    ASSERT_EQ(GetMenuItemCount(file), 4);
    EXPECT_EQ(GetMenuItemID(file, 0), 200u);
    // データを開く(&L)
    EXPECT_EQ(MenuText(file, 0), "\x83\x66\x81\x5b\x83\x5e\x82\xf0\x8a\x4a\x82\xad(&L)");
    EXPECT_EQ(GetMenuItemID(file, 1), 201u);
    // データを保存(&S)
    EXPECT_EQ(MenuText(file, 1), "\x83\x66\x81\x5b\x83\x5e\x82\xf0\x95\xdb\x91\xb6(&S)");
    EXPECT_NE(MenuItemType(file, 2) & MFT_SEPARATOR, 0u);
    EXPECT_EQ(GetMenuItemID(file, 3), 202u);
    // 終了(&X)
    EXPECT_EQ(MenuText(file, 3), "\x8f\x49\x97\xb9(&X)");
    DestroyMenu(menu);
}

TEST(Resources, Icon100IsOne32By32ImageOf16Colours)
{
    const GroupIcon* group = Resource<GroupIcon>(MAKEINTRESOURCEA(100), RT_GROUP_ICON);
    ASSERT_NE(group, nullptr);
    EXPECT_EQ(group->type, 1);
    ASSERT_EQ(group->count, 1);
    const GroupIconEntry& entry = group->entries[0];
    EXPECT_EQ(entry.width, 32);
    EXPECT_EQ(entry.height, 32);
    EXPECT_EQ(entry.colourCount, 16);
    EXPECT_EQ(entry.bitCount, 4);

    const auto* image = Resource<BITMAPINFOHEADER>(MAKEINTRESOURCEA(entry.id), RT_ICON);
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(image->biWidth, 32);
    EXPECT_EQ(image->biHeight, 64) << "the colour image and its mask";
    EXPECT_EQ(image->biBitCount, 4);
    EXPECT_NE(LoadIconA(checkedModule, MAKEINTRESOURCEA(100)), nullptr);
}

TEST(Resources, BmptestIsA512Square24BitBottomUpUncompressedBitmap)
{
    DWORD size = 0;
    const auto* header = Resource<BITMAPINFOHEADER>("BMPTEST", RT_BITMAP, &size);
    ASSERT_NE(header, nullptr);
    EXPECT_EQ(header->biWidth, 512);
    EXPECT_EQ(header->biHeight, 512) << "positive: stored bottom-up";
    EXPECT_EQ(header->biPlanes, 1);
    EXPECT_EQ(header->biBitCount, 24);
    EXPECT_EQ(header->biCompression, static_cast<DWORD>(BI_RGB));
    EXPECT_EQ(size, header->biSize + 512u * 512u * 3u);
}

int main(int argc, char** argv)
{
    testing::InitGoogleTest(&argc, argv);
    checkedModule = argc > 1
                        ? LoadLibraryExA(argv[1], nullptr,
                                         LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE)
                        : GetModuleHandleA(nullptr);
    if (checkedModule == nullptr)
    {
        std::fprintf(stderr, "cannot open %s\n", argv[1]);
        return 2;
    }
    return RUN_ALL_TESTS();
}
