// The picture menu's records, its sub-menu registry and teardown, and how it classifies the
// Windows version and the desktop theme.
#include "controls/menu/PictureMenu.h"
#include "tests/controls/menu/MenuItemInfo.h"

#include <gtest/gtest.h>

namespace {

// Sub-menus made as the loader makes them: bound to their handle, deleted by their parent.
CPictureMenu* NewSubMenu() {
    auto* menu = new CPictureMenu;
    menu->CMenu::CreatePopupMenu();
    return menu;
}

UINT_PTR HandleId(const CMenu* menu) { return reinterpret_cast<UINT_PTR>(menu->m_hMenu); }

}  // namespace

TEST(PictureMenuModel, AppendItemMakesOwnerDrawnRecordsAndSeparatorsFromIdZero) {
    CPictureMenu menu;
    ASSERT_TRUE(menu.CMenu::CreatePopupMenu());
    EXPECT_TRUE(menu.AppendItem(L"&Open", MF_CHECKED, 7));
    EXPECT_TRUE(menu.AppendItem(L"ignored", MF_POPUP | MF_GRAYED | MF_BYPOSITION | MF_CHECKED, 0));
    EXPECT_TRUE(menu.AppendItem(nullptr, MF_GRAYED, 0));

    ASSERT_EQ(3, menu.m_items.GetSize());
    EXPECT_EQ(UINT{MF_CHECKED | MF_OWNERDRAW}, menu.m_items[0]->m_flags);
    EXPECT_EQ(7u, menu.m_items[0]->m_commandId);
    EXPECT_EQ(UINT{MF_BYPOSITION | MF_SEPARATOR | MF_OWNERDRAW}, menu.m_items[1]->m_flags);
    EXPECT_EQ(UINT{MF_SEPARATOR | MF_OWNERDRAW}, menu.m_items[2]->m_flags);
    EXPECT_TRUE(menu.m_subMenus.IsEmpty());

    // The platform item carries the record as its data.
    const MENUITEMINFOW info = MenuItemAt(menu.m_hMenu, 0);
    EXPECT_TRUE(info.fType & MFT_OWNERDRAW);
    EXPECT_EQ(reinterpret_cast<ULONG_PTR>(menu.m_items[0]), info.dwItemData);

    CString text;
    EXPECT_TRUE(menu.GetItemText(0, text));
    EXPECT_EQ(CString(L"&Open"), text);
    EXPECT_TRUE(menu.GetItemText(2, text));
    EXPECT_TRUE(text.IsEmpty());
    EXPECT_FALSE(menu.GetItemText(3, text));
    EXPECT_FALSE(menu.GetItemText(-1, text));
}

TEST(PictureMenuModel, SharedPictureIndexIsTheFirstPositionOfTheCommand) {
    int ids[] = {5, 9, 9, 9, 4};
    for (int& id : ids) {
        CPictureMenu::s_sharedImageIds.Add(id);
    }
    CPictureMenu menu;
    menu.CMenu::CreatePopupMenu();
    menu.AppendItem(L"nine", 0, 9);
    menu.AppendItem(L"four", 0, 4);
    menu.AppendItem(L"none", 0, 8);
    CPictureMenu::s_sharedImageIds.RemoveAll();

    EXPECT_EQ(1, menu.m_items[0]->m_sharedImageIndex);
    EXPECT_EQ(4, menu.m_items[1]->m_sharedImageIndex);
    EXPECT_EQ(-1, menu.m_items[2]->m_sharedImageIndex);
    EXPECT_EQ(-1, menu.m_items[0]->m_imageId);
    EXPECT_EQ(-1, menu.m_items[0]->m_imageIndex);
}

TEST(PictureMenuModel, TeardownDeletesSubMenusAndDropsEveryRegistration) {
    CPictureMenu root;
    ASSERT_TRUE(root.CMenu::CreatePopupMenu());
    CPictureMenu* sub = NewSubMenu();
    CPictureMenu* nested = NewSubMenu();
    const HMENU subHandle = sub->m_hMenu;
    const HMENU nestedHandle = nested->m_hMenu;
    ASSERT_TRUE(sub->AppendItem(L"nested", MF_POPUP, HandleId(nested)));
    // The same sub-menu appended twice is registered twice.
    ASSERT_TRUE(root.AppendItem(L"sub", MF_POPUP, HandleId(sub)));
    ASSERT_TRUE(root.AppendItem(L"again", MF_POPUP, HandleId(sub)));
    EXPECT_EQ(2, root.m_subMenus.GetSize());
    EXPECT_EQ(3, CPictureMenu::s_allSubMenus.GetSize());
    EXPECT_TRUE(CPictureMenu::IsOwnedSubMenu(subHandle));
    EXPECT_TRUE(CPictureMenu::IsOwnedSubMenu(sub));
    EXPECT_TRUE(CPictureMenu::IsOwnedSubMenu(nestedHandle));
    EXPECT_FALSE(CPictureMenu::IsOwnedSubMenu(root.m_hMenu));
    EXPECT_FALSE(CPictureMenu::IsOwnedSubMenu(static_cast<const CMenu*>(nullptr)));
    // The framework hands each level's owner-drawn items to the object bound to it.
    EXPECT_EQ(sub, CMenu::FromHandlePermanent(subHandle));

    // The root's own check pictures go with it; a sub-menu shares them and never deletes them.
    root.m_checkImages = new CImageList;
    nested->m_checkImages = root.m_checkImages;
    nested->m_checkImagesShared = TRUE;

    EXPECT_TRUE(root.DestroyMenu());
    EXPECT_TRUE(CPictureMenu::s_allSubMenus.IsEmpty());
    EXPECT_FALSE(CPictureMenu::IsOwnedSubMenu(subHandle));
    EXPECT_EQ(nullptr, CMenu::FromHandlePermanent(subHandle));
    EXPECT_EQ(nullptr, CMenu::FromHandlePermanent(nestedHandle));
    EXPECT_FALSE(IsMenu(subHandle));
    EXPECT_FALSE(IsMenu(nestedHandle));
    EXPECT_EQ(nullptr, root.m_hMenu);
    EXPECT_TRUE(root.m_items.IsEmpty());
    EXPECT_TRUE(root.m_subMenus.IsEmpty());
    EXPECT_EQ(nullptr, root.m_checkImages);
}

TEST(PictureMenuModel, DestroyingARegisteredSubMenuItselfUnregistersIt) {
    CPictureMenu root;
    root.CMenu::CreatePopupMenu();
    CPictureMenu* sub = NewSubMenu();
    root.AppendItem(L"sub", MF_POPUP, HandleId(sub));
    root.m_subMenus.RemoveAll();  // as if handed over elsewhere
    const HMENU handle = sub->m_hMenu;
    delete sub;
    EXPECT_FALSE(CPictureMenu::IsOwnedSubMenu(handle));
}

TEST(PictureMenuModel, AppendItemRefusedByThePlatformKeepsNothing) {
    CPictureMenu menu;  // no platform menu
    CPictureMenu sub;
    sub.CMenu::CreatePopupMenu();
    EXPECT_FALSE(menu.AppendItem(L"sub", MF_POPUP, HandleId(&sub)));
    EXPECT_TRUE(menu.m_items.IsEmpty());
    EXPECT_TRUE(menu.m_subMenus.IsEmpty());
    EXPECT_FALSE(CPictureMenu::IsOwnedSubMenu(&sub));
}

namespace {

DWORD g_version = 0;
DWORD g_major = 0;
DWORD g_minor = 0;
BOOL g_versionExWorks = TRUE;

DWORD WINAPI FakeGetVersion() { return g_version; }

BOOL WINAPI FakeGetVersionEx(OSVERSIONINFOW* info) {
    if (!g_versionExWorks || info->dwOSVersionInfoSize != sizeof(OSVERSIONINFOW)) {
        return FALSE;
    }
    info->dwMajorVersion = g_major;
    info->dwMinorVersion = g_minor;
    return TRUE;
}

int CodeFor(bool nt, DWORD major, DWORD minor, BOOL versionExWorks = TRUE) {
    g_version = (nt ? 0 : 0x80000000) | (minor << 8) | major;
    g_major = major;
    g_minor = minor;
    g_versionExWorks = versionExWorks;
    return CPictureMenu::GetOsVersionCode({&FakeGetVersion, &FakeGetVersionEx});
}

}  // namespace

TEST(PictureMenuModel, VersionCodesFollowTheVersionTable) {
    EXPECT_EQ(0, CodeFor(false, 3, 95));
    EXPECT_EQ(2, CodeFor(false, 4, 0));
    EXPECT_EQ(3, CodeFor(false, 4, 10));
    EXPECT_EQ(4, CodeFor(false, 4, 90));
    EXPECT_EQ(2, CodeFor(false, 5, 1));
    EXPECT_EQ(2, CodeFor(false, 4, 10, FALSE));
    EXPECT_EQ(1, CodeFor(true, 3, 51));
    EXPECT_EQ(5, CodeFor(true, 4, 0));
    EXPECT_EQ(6, CodeFor(true, 5, 0));
    EXPECT_EQ(7, CodeFor(true, 5, 1));
    EXPECT_EQ(1, CodeFor(true, 5, 2));
    EXPECT_EQ(1, CodeFor(true, 6, 1));
    EXPECT_EQ(1, CodeFor(true, 10, 0));
    EXPECT_EQ(1, CodeFor(true, 5, 1, FALSE));
    // Windows 7 to 11 and Wine all run as NT 6.x or later: the classic look, unless asked otherwise.
    EXPECT_EQ(1, CPictureMenu::s_osVersion);
}

namespace {

constexpr wchar_t kTestThemeKey[] = L"Software\\DalvorinTests\\MenuTheme";

// The theme value as the registry may hold it: any type, any bytes, terminated or not.
BOOL ClassicAfterStoring(DWORD type, const void* data, DWORD bytes) {
    HKEY key = nullptr;
    if (RegCreateKeyExW(HKEY_CURRENT_USER, kTestThemeKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key,
                        nullptr) != ERROR_SUCCESS) {
        ADD_FAILURE() << "cannot make the test key";
        return FALSE;
    }
    RegSetValueExW(key, nullptr, 0, type, static_cast<const BYTE*>(data), bytes);
    RegCloseKey(key);
    const BOOL classic = CPictureMenu::ReadClassicTheme(HKEY_CURRENT_USER, kTestThemeKey);
    RegDeleteKeyW(HKEY_CURRENT_USER, kTestThemeKey);
    return classic;
}

// An unterminated text is followed by a letter: the registry adds a terminator that the caller
// forgot to count when one follows the data, as NT does.
BOOL ClassicText(const std::wstring& text, bool terminated = true, DWORD type = REG_SZ) {
    const std::wstring stored = terminated ? text + L'\0' : text + L'X';
    const DWORD bytes = static_cast<DWORD>((terminated ? stored.size() : text.size()) * sizeof(wchar_t));
    return ClassicAfterStoring(type, stored.c_str(), bytes);
}

}  // namespace

TEST(PictureMenuModel, ClassicThemeIsRecognisedByItsFileNameInAnyCase) {
    EXPECT_TRUE(ClassicText(L"C:\\Windows\\Resources\\Themes\\Windows Classic.theme"));
    EXPECT_TRUE(ClassicText(L"c:\\themes\\WINDOWS CLASSIC.THEME", true, REG_EXPAND_SZ));
    EXPECT_TRUE(ClassicText(L"Windows Classic.theme"));
    EXPECT_FALSE(ClassicText(L"C:\\themes\\Windows Classic.theme.bak"));
    EXPECT_FALSE(ClassicText(L"C:\\themes\\Luna.theme"));
    EXPECT_FALSE(ClassicText(L"Classic.theme"));
    EXPECT_FALSE(ClassicText(L""));
    EXPECT_FALSE(CPictureMenu::ReadClassicTheme(HKEY_CURRENT_USER, L"Software\\DalvorinTests\\NoSuchKey"));
}

TEST(PictureMenuModel, ThemeValueIsTerminatedAndCheckedForTypeAndSize) {
    // Stored without its terminator: still read as the text it is, and no further.
    EXPECT_TRUE(ClassicText(L"C:\\Windows Classic.theme", false));
    // Exactly filling the room, unterminated.
    std::wstring full(130 - 21, L'x');
    full += L"Windows Classic.theme";
    EXPECT_TRUE(ClassicText(full, false));
    // Longer than the room, and the right text of the wrong type or in too few bytes.
    EXPECT_FALSE(ClassicText(std::wstring(200, L'x') + L"Windows Classic.theme"));
    EXPECT_FALSE(ClassicText(L"Windows Classic.theme", true, REG_BINARY));
    EXPECT_FALSE(ClassicText(L"Windows Classic.theme", true, REG_MULTI_SZ));
    const DWORD number = 1;
    EXPECT_FALSE(ClassicAfterStoring(REG_DWORD, &number, sizeof(number)));
    EXPECT_FALSE(ClassicAfterStoring(REG_SZ, L"Windows Classic.theme", 41));
}

TEST(PictureMenuModel, ThemeIsReadOnceAndCached) {
    const BOOL tested = CPictureMenu::s_themeTested;
    const BOOL classic = CPictureMenu::s_classicTheme;
    CPictureMenu::s_themeTested = FALSE;
    CPictureMenu::s_classicTheme = TRUE;
    EXPECT_FALSE(CPictureMenu::IsClassicTheme());  // the test prefix names no theme
    EXPECT_TRUE(CPictureMenu::s_themeTested);
    CPictureMenu::s_classicTheme = TRUE;
    EXPECT_TRUE(CPictureMenu::IsClassicTheme());
    CPictureMenu::s_themeTested = tested;
    CPictureMenu::s_classicTheme = classic;
}
