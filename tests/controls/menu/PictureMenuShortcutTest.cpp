// Keyboard mnemonics of owner-drawn items, and the records following items that other code
// inserted into or removed from the platform menu.
#include "controls/menu/PictureMenu.h"
#include "tests/controls/menu/MenuItemInfo.h"

#include <gtest/gtest.h>

namespace {

constexpr LRESULT Execute(int position) { return MAKELRESULT(position, MNC_EXECUTE); }

// Every platform item is owner-drawn and carries the record at its position.
void ExpectRecordsMirrorTheMenu(const CPictureMenu& menu) {
    const int count = GetMenuItemCount(menu.m_hMenu);
    ASSERT_EQ(count, menu.m_items.GetSize());
    for (int i = 0; i < count; ++i) {
        const MENUITEMINFOW item = MenuItemAt(menu.m_hMenu, i);
        EXPECT_TRUE(item.fType & MFT_OWNERDRAW) << i;
        EXPECT_EQ(reinterpret_cast<ULONG_PTR>(menu.m_items[i]), item.dwItemData) << i;
    }
}

}  // namespace

TEST(PictureMenuShortcut, MnemonicsMatchIgnoringCaseEscapedAmpersandsAndGraying) {
    CPictureMenu menu;
    ASSERT_TRUE(menu.CMenu::CreatePopupMenu());
    menu.AppendItem(L"&File", 0, 1);
    menu.AppendItem(L"&find", 0, 2);
    menu.AppendItem(L"Tom &&Jerry", 0, 3);
    menu.AppendItem(L"&Grayed", MF_GRAYED, 4);
    menu.AppendItem(L"&Ä umlaut", 0, 5);

    EXPECT_EQ(Execute(0), CPictureMenu::FindShortcut(L'F', MF_POPUP, &menu));
    EXPECT_EQ(Execute(0), CPictureMenu::FindShortcut(L'f', MF_POPUP, &menu));
    EXPECT_EQ(Execute(2), CPictureMenu::FindShortcut(L'j', MF_POPUP, &menu));
    EXPECT_EQ(Execute(3), CPictureMenu::FindShortcut(L'G', MF_POPUP, &menu));
    EXPECT_EQ(Execute(4), CPictureMenu::FindShortcut(L'ä', MF_POPUP, &menu));
    EXPECT_EQ(0, CPictureMenu::FindShortcut(L'z', MF_POPUP, &menu));
    EXPECT_EQ(0, CPictureMenu::FindShortcut(L'F', MF_SYSMENU, &menu));

    CMenu plain;
    plain.CreatePopupMenu();
    plain.AppendMenu(MF_STRING, 1, L"&File");
    EXPECT_EQ(0, CPictureMenu::FindShortcut(L'F', MF_POPUP, &plain));
    EXPECT_EQ(0, CPictureMenu::FindShortcut(L'F', MF_POPUP, nullptr));
}

TEST(PictureMenuShortcut, ItemsInsertedBehindTheMenusBackGetRecords) {
    CPictureMenu menu;
    ASSERT_TRUE(menu.CMenu::CreatePopupMenu());
    menu.AppendItem(L"&Alpha", 0, 1);
    menu.AppendItem(nullptr, 0, 0);
    menu.AppendItem(L"&Beta", MF_CHECKED, 2);
    CMenu inserted;
    inserted.CreatePopupMenu();
    const HMENU insertedHandle = inserted.Detach();  // the menu owns it from now on
    InsertMenuW(menu.m_hMenu, 0, MF_BYPOSITION | MF_STRING, 9, L"&Inserted");
    InsertMenuW(menu.m_hMenu, 2, MF_BYPOSITION | MF_SEPARATOR, 0, nullptr);
    AppendMenuW(menu.m_hMenu, MF_POPUP, reinterpret_cast<UINT_PTR>(insertedHandle), L"&Popup");
    AppendMenuW(menu.m_hMenu, MF_STRING | MF_BITMAP, 8, reinterpret_cast<LPCWSTR>(1));

    EXPECT_EQ(Execute(0), CPictureMenu::FindShortcut(L'i', MF_POPUP, &menu));
    ExpectRecordsMirrorTheMenu(menu);
    EXPECT_STREQ(L"&Inserted", menu.m_items[0]->GetText());
    EXPECT_EQ(9u, menu.m_items[0]->m_commandId);
    EXPECT_STREQ(L"&Alpha", menu.m_items[1]->GetText());  // owner-drawn items keep their text
    EXPECT_EQ(UINT_PTR{0}, menu.m_items[2]->m_commandId);
    EXPECT_TRUE(menu.m_items[2]->m_flags & MF_SEPARATOR);
    EXPECT_STREQ(L"&Beta", menu.m_items[4]->GetText());
    EXPECT_TRUE(menu.m_items[4]->m_flags & MF_CHECKED);
    EXPECT_EQ(reinterpret_cast<UINT_PTR>(insertedHandle), menu.m_items[5]->m_commandId);
    EXPECT_EQ(insertedHandle, MenuItemAt(menu.m_hMenu, 5).hSubMenu);
    EXPECT_EQ(Execute(5), CPictureMenu::FindShortcut(L'p', MF_POPUP, &menu));
    // The bitmap item became an owner-drawn item whose data is its record, not a bitmap.
    EXPECT_FALSE(MenuItemAt(menu.m_hMenu, 6).fType & MFT_BITMAP);
}

TEST(PictureMenuShortcut, RecordsOfRemovedItemsAreDroppedAndSeparatorsRewrittenByPosition) {
    CPictureMenu menu;
    ASSERT_TRUE(menu.CMenu::CreatePopupMenu());
    menu.AppendItem(L"&Alpha", 0, 1);  // its command id equals the separator's position
    menu.AppendItem(nullptr, 0, 0);
    menu.AppendItem(L"&Beta", 0, 2);
    menu.AppendItem(L"&Gone", 0, 3);
    DeleteMenu(menu.m_hMenu, 3, MF_BYPOSITION);

    EXPECT_EQ(0, CPictureMenu::FindShortcut(L'g', MF_POPUP, &menu));
    ExpectRecordsMirrorTheMenu(menu);
    EXPECT_EQ(3, menu.m_items.GetSize());
    const MENUITEMINFOW alpha = MenuItemAt(menu.m_hMenu, 0);
    EXPECT_EQ(1u, alpha.wID);
    EXPECT_FALSE(alpha.fType & MFT_SEPARATOR);
    EXPECT_TRUE(MenuItemAt(menu.m_hMenu, 1).fType & MFT_SEPARATOR);
    EXPECT_EQ(Execute(2), CPictureMenu::FindShortcut(L'B', MF_POPUP, &menu));
}
