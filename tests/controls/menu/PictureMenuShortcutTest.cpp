// Keyboard mnemonics of owner-drawn items, and the records following items that other code
// inserted into or removed from the platform menu.
#include "controls/menu/PictureMenu.h"
#include "tests/controls/menu/MenuTemplateBuilder.h"

#include <gtest/gtest.h>

namespace {

constexpr LRESULT Execute(int position) { return MAKELRESULT(position, MNC_EXECUTE); }

LRESULT Find(wchar_t ch, CMenu* menu, UINT flags = MF_POPUP) {
    return CPictureMenu::FindShortcut(ch, flags, menu);
}

// Every platform item is owner-drawn and carries the record at its position.
void ExpectRecordsMirrorTheMenu(const CPictureMenu& menu) {
    ASSERT_EQ(GetMenuItemCount(menu.m_hMenu), menu.m_items.GetSize());
    for (int i = 0; i < menu.m_items.GetSize(); ++i) {
        const MENUITEMINFOW item = MenuItemAt(menu.m_hMenu, i);
        EXPECT_EQ(UINT{MFT_OWNERDRAW}, item.fType & (MFT_OWNERDRAW | MFT_BITMAP)) << i;
        EXPECT_EQ(reinterpret_cast<ULONG_PTR>(menu.m_items[i]), item.dwItemData) << i;
    }
}

}  // namespace

TEST(PictureMenuShortcut, MnemonicsMatchIgnoringCaseEscapedAmpersandsAndGraying) {
    CPictureMenu menu;
    ASSERT_TRUE(menu.CMenu::CreatePopupMenu());
    for (const wchar_t* text : {L"&File", L"&find", L"Tom &&Jerry", L"&Grayed", L"&Ärger"}) {
        menu.AppendItem(text, MF_GRAYED, 1);
    }
    EXPECT_EQ(Execute(0), Find(L'F', &menu));
    EXPECT_EQ(Execute(0), Find(L'f', &menu));
    EXPECT_EQ(Execute(2), Find(L'j', &menu));
    EXPECT_EQ(Execute(3), Find(L'G', &menu));
    EXPECT_EQ(Execute(4), Find(L'ä', &menu));
    EXPECT_EQ(0, Find(L'z', &menu));
    EXPECT_EQ(0, Find(L'F', &menu, MF_SYSMENU));
    CMenu plain;
    plain.CreatePopupMenu();
    plain.AppendMenu(MF_STRING, 1, L"&File");
    EXPECT_EQ(0, Find(L'F', &plain));
}

TEST(PictureMenuShortcut, ItemsInsertedBehindTheMenusBackGetRecords) {
    CPictureMenu menu;
    ASSERT_TRUE(menu.CMenu::CreatePopupMenu());
    menu.AppendItem(L"&Alpha", 0, 1);
    menu.AppendItem(L"&Beta", MF_CHECKED, 2);
    const HMENU popup = CreatePopupMenu();  // the menu owns it once appended
    InsertMenuW(menu.m_hMenu, 0, MF_BYPOSITION | MF_STRING, 9, L"&Inserted");
    InsertMenuW(menu.m_hMenu, 2, MF_BYPOSITION | MF_SEPARATOR, 0, nullptr);
    AppendMenuW(menu.m_hMenu, MF_POPUP, reinterpret_cast<UINT_PTR>(popup), L"&Popup");
    AppendMenuW(menu.m_hMenu, MF_BITMAP, 8, reinterpret_cast<LPCWSTR>(HBMMENU_POPUP_CLOSE));

    EXPECT_EQ(Execute(0), Find(L'i', &menu));
    ExpectRecordsMirrorTheMenu(menu);
    EXPECT_STREQ(L"&Inserted", menu.m_items[0]->GetText());
    EXPECT_STREQ(L"&Alpha", menu.m_items[1]->GetText());  // owner-drawn items keep their text
    EXPECT_TRUE(menu.m_items[2]->m_flags & MF_SEPARATOR);
    EXPECT_TRUE(menu.m_items[3]->m_flags & MF_CHECKED);
    EXPECT_EQ(popup, MenuItemAt(menu.m_hMenu, 4).hSubMenu);
    EXPECT_EQ(Execute(4), Find(L'p', &menu));
}

TEST(PictureMenuShortcut, RecordsOfRemovedItemsGoAndSeparatorsAreRewrittenByPosition) {
    CPictureMenu menu;
    ASSERT_TRUE(menu.CMenu::CreatePopupMenu());
    menu.AppendItem(L"&Alpha", 0, 1);  // its command id is the separator's position
    menu.AppendItem(nullptr, 0, 0);
    menu.AppendItem(L"&Beta", 0, 2);
    menu.AppendItem(L"&Gone", 0, 3);
    DeleteMenu(menu.m_hMenu, 3, MF_BYPOSITION);

    EXPECT_EQ(0, Find(L'g', &menu));
    ExpectRecordsMirrorTheMenu(menu);
    EXPECT_EQ(1u, MenuItemAt(menu.m_hMenu, 0).wID);
    EXPECT_FALSE(MenuItemAt(menu.m_hMenu, 0).fType & MFT_SEPARATOR);
    EXPECT_TRUE(MenuItemAt(menu.m_hMenu, 1).fType & MFT_SEPARATOR);
    EXPECT_EQ(Execute(2), Find(L'B', &menu));
}
