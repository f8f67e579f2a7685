// Loading the picture menu from menu templates: the built menu, shortcut alignment, the program's
// own menu resources, and malformed templates that must leave nothing behind.
#include "controls/menu/LabelPadding.h"
#include "controls/menu/MenuTemplate.h"
#include "controls/menu/PictureMenu.h"
#include "res/resource.h"
#include "tests/controls/menu/MenuTemplateBuilder.h"

#include <gtest/gtest.h>

namespace {

BOOL Load(CPictureMenu& menu, const std::vector<BYTE>& bytes) {
    GuardedBytes guarded;
    size_t size = 0;
    const BYTE* start = guarded.Place(bytes, size);
    return menu.LoadMenuTemplate(start, size);
}

CPictureMenu* SubMenuAt(const CPictureMenu& menu, int position) {
    return DYNAMIC_DOWNCAST(CPictureMenu, CMenu::FromHandlePermanent(GetSubMenu(menu.m_hMenu, position)));
}

const std::vector<BYTE> kFileMenu = MenuTemplateBuilder()
                                        .Popup(L"&File")
                                        .Item(L"&Open\tCtrl+O", 100, MF_BITMAP | MF_OWNERDRAW)
                                        .Item(L"", 0)
                                        .Item(L"E&xit", 101, MF_END | MF_GRAYED)
                                        .Item(L"Top", 7)
                                        .Item(L"", 0, MF_END)
                                        .bytes;

int MenuFontWidth(const CString& text) {
    CFont font;
    CMenuPaintRoutines::CreateMenuFont(font);
    HDC dc = GetDC(nullptr);
    HGDIOBJ previous = SelectObject(dc, font.m_hObject);
    SIZE size = {};
    GetTextExtentPoint32W(dc, text, text.GetLength(), &size);
    SelectObject(dc, previous);
    ReleaseDC(nullptr, dc);
    return size.cx;
}

}  // namespace

TEST(PictureMenuLoad, BarOfPlainEntriesOverOwnerDrawnSubMenus) {
    CPictureMenu menu;
    ASSERT_TRUE(Load(menu, kFileMenu));
    ASSERT_EQ(3, GetMenuItemCount(menu.m_hMenu));
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(UINT{MFT_STRING}, MenuItemAt(menu.m_hMenu, i).fType) << i;
    }
    EXPECT_EQ(UINT{MF_BYPOSITION | MF_POPUP}, menu.m_items[0]->m_flags);
    EXPECT_EQ(7u, MenuItemAt(menu.m_hMenu, 1).wID);
    EXPECT_EQ(0u, MenuItemAt(menu.m_hMenu, 2).wID);

    CPictureMenu* sub = SubMenuAt(menu, 0);
    ASSERT_NE(nullptr, sub);
    EXPECT_TRUE(CPictureMenu::IsOwnedSubMenu(sub));
    ASSERT_EQ(3, sub->m_items.GetSize());
    for (int i = 0; i < 3; ++i) {
        // Template flags that would retype the item (bitmap, owner-drawn) are not passed on.
        const MENUITEMINFOW item = MenuItemAt(sub->m_hMenu, i);
        EXPECT_EQ(UINT{MFT_OWNERDRAW}, item.fType & ~UINT{MFT_SEPARATOR}) << i;
        EXPECT_EQ(reinterpret_cast<ULONG_PTR>(sub->m_items[i]), item.dwItemData) << i;
    }
    EXPECT_EQ(UINT{MF_SEPARATOR | MF_OWNERDRAW}, sub->m_items[1]->m_flags);
    EXPECT_EQ(UINT{MF_GRAYED | MF_OWNERDRAW}, sub->m_items[2]->m_flags);

    // A pop-up appended to the loaded bar later stays a plain string entry as well.
    auto more = std::make_unique<CPictureMenu>();
    more->CMenu::CreatePopupMenu();
    const HMENU moreMenu = more->m_hMenu;
    ASSERT_TRUE(menu.AppendSubMenu(L"&More", MF_POPUP, std::move(more)));
    EXPECT_EQ(UINT{MFT_STRING}, MenuItemAt(menu.m_hMenu, 3).fType);
    EXPECT_EQ(moreMenu, MenuItemAt(menu.m_hMenu, 3).hSubMenu);
}

TEST(PictureMenuLoad, ShortcutTextsLineUpBehindTheWidestLabel) {
    CPictureMenu menu;
    ASSERT_TRUE(Load(menu, MenuTemplateBuilder()
                               .Popup(L"&Edit", MF_END)
                               .Item(L"Cut\tCtrl+X", 1)
                               .Item(L"A much longer label", 2)
                               .Item(L"Paste\tCtrl+V", 3, MF_END)
                               .bytes));
    const CPictureMenu* sub = SubMenuAt(menu, 0);
    const int widest = MenuFontWidth(L"A much longer label ");
    for (const int i : {0, 2}) {
        const CString text = sub->m_items[i]->GetText();
        const CString label = text.Left(text.Find(L'\t'));
        EXPECT_GE(MenuFontWidth(label), widest) << i;
        EXPECT_LT(MenuFontWidth(label.Left(label.GetLength() - 1)), widest) << i;
        EXPECT_EQ(i == 0 ? CString(L"\tCtrl+X") : CString(L"\tCtrl+V"), text.Mid(label.GetLength()));
    }
    EXPECT_STREQ(L"A much longer label", sub->m_items[1]->GetText());
    // A space that adds no width (a font without the glyph) ends the padding.
    EXPECT_EQ(CString(L"Cut"), PadLabelToWidth(L"Cut", 50, [](const CString&) { return 10; }));
}

TEST(PictureMenuLoad, TheProgramsMenusLoadAlikeByIdAndByNameAndReloadCleanly) {
    CPictureMenu byId;
    CPictureMenu byName;
    ASSERT_TRUE(byId.LoadMenu(0x10000u | IDR_ENTRY_MENU));  // only the low 16 bits name it
    ASSERT_TRUE(byName.LoadMenu(MAKEINTRESOURCEW(IDR_ENTRY_MENU)));
    const CPictureMenu* subs[] = {SubMenuAt(byId, 0), SubMenuAt(byName, 0)};
    ASSERT_EQ(10, subs[0]->m_items.GetSize());
    ASSERT_EQ(10, subs[1]->m_items.GetSize());
    for (int i = 0; i < 10; ++i) {
        EXPECT_STREQ(subs[0]->m_items[i]->GetText(), subs[1]->m_items[i]->GetText());
        EXPECT_EQ(subs[0]->m_items[i]->m_commandId, subs[1]->m_items[i]->m_commandId);
    }
    EXPECT_STREQ(L"删除图标", subs[0]->m_items[0]->GetText());

    const HMENU firstSub = byId.GetSubMenu(0)->m_hMenu;
    ASSERT_TRUE(byId.LoadMenu(IDR_MAIN_MENU));
    EXPECT_FALSE(IsMenu(firstSub));
    EXPECT_FALSE(CPictureMenu::IsOwnedSubMenu(firstSub));
    EXPECT_EQ(2, CPictureMenuShared::Instance().RegisteredSubMenuCount());
    EXPECT_FALSE(byName.LoadMenu(4711));
    EXPECT_TRUE(IsMenu(byName.m_hMenu));
}

TEST(PictureMenuLoad, MalformedTemplatesFailAndLeaveTheMenuAsItWas) {
    MenuTemplateBuilder tooDeep;
    for (int i = 0; i < kMaxMenuTemplateDepth; ++i) {
        tooDeep.Popup(L"P", MF_END);
    }
    std::vector<std::vector<BYTE>> cases = {
        MenuTemplateBuilder().Popup(L"P", MF_END).Item(L"a", 1).bytes,   // level never closed
        MenuTemplateBuilder(kFileMenu).Item(L"extra", 9, MF_END).bytes,  // more end marks than levels
        tooDeep.Item(L"x", 1, MF_END).bytes,
        {},
        {0, 0, 0xFF, 0},
    };
    for (const size_t cut : {1, 2, 3, 5}) {  // inside the last text, its id, its flags
        cases.emplace_back(kFileMenu.begin(), kFileMenu.end() - static_cast<std::ptrdiff_t>(cut));
    }
    cases.push_back(kFileMenu);
    cases.back()[cases.back().size() - 2] = 'x';  // the last text unterminated

    CPictureMenu menu;
    for (size_t i = 0; i < cases.size(); ++i) {
        EXPECT_FALSE(Load(menu, cases[i])) << i;
        EXPECT_EQ(nullptr, menu.m_hMenu) << i;
    }
    ASSERT_TRUE(Load(menu, kFileMenu));
    const HMENU bar = menu.m_hMenu;
    for (size_t i = 0; i < cases.size(); ++i) {
        EXPECT_FALSE(Load(menu, cases[i])) << i;
        EXPECT_EQ(bar, menu.m_hMenu) << i;
        EXPECT_EQ(1, CPictureMenuShared::Instance().RegisteredSubMenuCount()) << i;
    }
    std::vector<BYTE> padded = kFileMenu;
    padded.resize(padded.size() + 6);  // zero padding after the last level is no item
    std::vector<CMenuTemplateItem> items;
    EXPECT_TRUE(ParseMenuTemplate(padded.data(), padded.size(), items));
    EXPECT_EQ(6u, items.size());
}
