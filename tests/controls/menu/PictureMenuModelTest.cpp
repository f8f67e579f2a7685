// The picture menu's records, its sub-menu registry and teardown, and how it classifies the
// Windows version and the desktop theme.
#include "controls/menu/PictureMenu.h"
#include "tests/controls/menu/MenuTemplateBuilder.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

namespace {

// A sub-menu as the loader makes it: bound to its handle, owned by the menu it is appended to.
std::unique_ptr<CPictureMenu> NewSubMenu() {
    auto menu = std::make_unique<CPictureMenu>();
    menu->CMenu::CreatePopupMenu();
    return menu;
}

UINT_PTR IdOf(const CMenu* menu) { return reinterpret_cast<UINT_PTR>(menu->m_hMenu); }

}  // namespace

TEST(PictureMenuModel, AppendItemMakesOwnerDrawnRecordsAndSeparatorsFromIdZero) {
    int sharedIds[] = {5, 9, 9, 9};
    for (int& id : sharedIds) {
        CPictureMenuShared::Instance().Pictures().AddId(id);
    }
    CPictureMenu menu;
    ASSERT_TRUE(menu.CMenu::CreatePopupMenu());
    EXPECT_TRUE(menu.AppendItem(L"&Open", MF_CHECKED, 9));
    EXPECT_TRUE(menu.AppendItem(L"x", MF_POPUP | MF_GRAYED | MF_BYPOSITION, 0));
    EXPECT_TRUE(menu.AppendItem(nullptr, MF_GRAYED, 7));
    CPictureMenu::ClearSharedPictures();

    EXPECT_EQ(UINT{MF_CHECKED | MF_OWNERDRAW}, menu.m_items[0]->m_flags);
    EXPECT_EQ(1, menu.m_items[0]->m_sharedImageIndex);  // the first position of the command
    EXPECT_EQ(-1, menu.m_items[2]->m_sharedImageIndex);
    EXPECT_EQ(UINT{MF_BYPOSITION | MF_SEPARATOR | MF_OWNERDRAW}, menu.m_items[1]->m_flags);
    EXPECT_TRUE(menu.m_subMenus.IsEmpty());
    EXPECT_EQ(reinterpret_cast<ULONG_PTR>(menu.m_items[0]), MenuItemAt(menu.m_hMenu, 0).dwItemData);
    CString text;
    EXPECT_TRUE(menu.GetItemText(2, text));
    EXPECT_TRUE(text.IsEmpty());
    EXPECT_FALSE(menu.GetItemText(3, text));
}

TEST(PictureMenuModel, TeardownDeletesSubMenusAndDropsEveryRegistration) {
    CPictureMenu root;
    ASSERT_TRUE(root.CMenu::CreatePopupMenu());
    std::unique_ptr<CPictureMenu> made = NewSubMenu();
    std::unique_ptr<CPictureMenu> madeNested = NewSubMenu();
    CPictureMenu* sub = made.get();
    CPictureMenu* nested = madeNested.get();
    const HMENU handles[] = {sub->m_hMenu, nested->m_hMenu};
    ASSERT_TRUE(sub->AppendSubMenu(L"nested", 0, std::move(madeNested)));
    ASSERT_TRUE(root.AppendSubMenu(L"sub", 0, std::move(made)));
    ASSERT_TRUE(root.AppendItem(L"again", MF_POPUP, IdOf(sub)));  // registered twice
    EXPECT_EQ(3, CPictureMenuShared::Instance().RegisteredSubMenuCount());
    EXPECT_TRUE(CPictureMenu::IsOwnedSubMenu(sub));
    EXPECT_FALSE(CPictureMenu::IsOwnedSubMenu(root.m_hMenu));
    EXPECT_EQ(sub, CMenu::FromHandlePermanent(handles[0]));  // dispatch finds the level's records
    // The root's check pictures go with it; a sub-menu only shares them.
    root.m_ownCheckImages = std::make_unique<CImageList>();
    root.m_checkImages = root.m_ownCheckImages.get();
    nested->m_checkImages = root.m_checkImages;
    nested->m_checkImagesShared = TRUE;

    EXPECT_TRUE(root.DestroyMenu());
    EXPECT_EQ(0, CPictureMenuShared::Instance().RegisteredSubMenuCount());
    for (HMENU handle : handles) {
        EXPECT_FALSE(IsMenu(handle));
        EXPECT_EQ(nullptr, CMenu::FromHandlePermanent(handle));
    }
    EXPECT_TRUE(root.m_items.IsEmpty());
    EXPECT_EQ(nullptr, root.m_checkImages);

    // A pop-up the platform refuses is neither recorded nor registered.
    CPictureMenu unmade;
    CPictureMenu popup;
    popup.CMenu::CreatePopupMenu();
    EXPECT_FALSE(unmade.AppendItem(L"sub", MF_POPUP, IdOf(&popup)));
    EXPECT_TRUE(unmade.m_items.IsEmpty());
    EXPECT_FALSE(CPictureMenu::IsOwnedSubMenu(&popup));
}

namespace {

DWORD g_version = 0;
BOOL g_versionExWorks = TRUE;

DWORD WINAPI FakeGetVersion() { return g_version; }

BOOL WINAPI FakeGetVersionEx(OSVERSIONINFOW* info) {
    if (g_versionExWorks) {
        info->dwMajorVersion = LOBYTE(g_version);
        info->dwMinorVersion = HIBYTE(g_version);
    }
    return g_versionExWorks;
}

}  // namespace

TEST(PictureMenuModel, VersionCodesFollowTheVersionTable) {
    constexpr DWORD k9x = 0x80000000;
    const struct {
        DWORD version;
        BOOL versionExWorks;
        int code;
    } cases[] = {{k9x | 0x5F03, TRUE, 0}, {k9x | 0x0004, TRUE, 2}, {k9x | 0x0A04, TRUE, 3},
                 {k9x | 0x5A04, TRUE, 4}, {k9x | 0x0105, TRUE, 2}, {k9x | 0x0A04, FALSE, 2},
                 {0x3303, TRUE, 1},       {0x0004, TRUE, 5},       {0x0005, TRUE, 6},
                 {0x0105, TRUE, 7},       {0x0205, TRUE, 1},       {0x0106, TRUE, 1},
                 {0x000A, TRUE, 1},       {0x0105, FALSE, 1}};
    for (const auto& c : cases) {
        g_version = c.version;
        g_versionExWorks = c.versionExWorks;
        EXPECT_EQ(c.code, CPictureMenuShared::GetOsVersionCode({&FakeGetVersion, &FakeGetVersionEx}))
            << std::hex << c.version;
    }
    EXPECT_EQ(1, CPictureMenuShared::Instance().OsVersion());  // Windows 7 to 11 and Wine: NT 6.x and later
}

namespace {

// Stores `bytes` bytes of `text` as the theme value of a test key (an unterminated text is
// followed by a letter, else the registry counts the terminator the caller left out) and reads it.
BOOL ClassicAfterStoring(const std::wstring& text, DWORD bytes, DWORD type = REG_SZ) {
    constexpr wchar_t kKey[] = L"Software\\DalvorinTests\\MenuTheme";
    const std::wstring stored = text + L'X';
    RegSetKeyValueW(HKEY_CURRENT_USER, kKey, nullptr, type, stored.c_str(), bytes);
    const BOOL classic = CPictureMenuShared::ReadClassicTheme(HKEY_CURRENT_USER, kKey);
    RegDeleteKeyW(HKEY_CURRENT_USER, kKey);
    return classic;
}

BOOL Classic(const std::wstring& text, DWORD type = REG_SZ) {
    return ClassicAfterStoring(text + L'\0', static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)), type);
}

}  // namespace

TEST(PictureMenuModel, ThemeValueNamesTheClassicThemeOnlyAsATerminatedStringThatFits) {
    EXPECT_TRUE(Classic(L"C:\\Windows\\Resources\\Themes\\Windows Classic.theme"));
    EXPECT_TRUE(Classic(L"c:\\WINDOWS CLASSIC.THEME", REG_EXPAND_SZ));
    EXPECT_FALSE(Classic(L"C:\\themes\\Windows Classic.theme.bak"));
    EXPECT_FALSE(Classic(L"Classic.theme"));
    // Stored without terminator, also filling all 260 bytes: read as the text it is, and no further.
    const std::wstring full = std::wstring(130 - 21, L'x') + L"Windows Classic.theme";
    EXPECT_TRUE(ClassicAfterStoring(full, 260));
    EXPECT_FALSE(ClassicAfterStoring(full + L"Windows Classic.theme", 302));
    EXPECT_FALSE(ClassicAfterStoring(L"Windows Classic.theme", 41));  // odd size, last letter cut
    EXPECT_FALSE(Classic(L"Windows Classic.theme", REG_BINARY));
    EXPECT_FALSE(Classic(L"Windows Classic.theme", REG_MULTI_SZ));
    EXPECT_FALSE(
        CPictureMenuShared::ReadClassicTheme(HKEY_CURRENT_USER, L"Software\\DalvorinTests\\NoSuchKey"));
}
