// Loading the picture menu from menu templates: the built menu, shortcut alignment, the program's
// own menu resources, and malformed templates that must leave nothing behind.
#include "controls/menu/LabelPadding.h"
#include "controls/menu/MenuTemplate.h"
#include "controls/menu/PictureMenu.h"
#include "res/resource.h"
#include "tests/controls/menu/MenuItemInfo.h"
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

std::vector<BYTE> FileMenu() {
    return MenuTemplateBuilder()
        .Popup(L"&File", MF_END)
        .Item(L"&Open\tCtrl+O", 100)
        .Separator()
        .Item(L"E&xit", 101, MF_END)
        .bytes;
}

int MenuFontWidth(const CString& text) {
    CFont font;
    CPictureMenu::CreateMenuFont(font);
    HDC dc = GetDC(GetDesktopWindow());
    HGDIOBJ previous = SelectObject(dc, font.m_hObject);
    SIZE size = {};
    GetTextExtentPoint32W(dc, text, text.GetLength(), &size);
    SelectObject(dc, previous);
    ReleaseDC(GetDesktopWindow(), dc);
    return size.cx;
}

}  // namespace

TEST(PictureMenuLoad, PopupBecomesAPlainBarEntryOverAnOwnerDrawnSubMenu) {
    CPictureMenu menu;
    ASSERT_TRUE(Load(menu, FileMenu()));
    EXPECT_TRUE(menu.m_isMenuBar);
    ASSERT_EQ(1, GetMenuItemCount(menu.m_hMenu));
    const MENUITEMINFOW bar = MenuItemAt(menu.m_hMenu, 0);
    EXPECT_FALSE(bar.fType & MFT_OWNERDRAW);
    CString barText;
    menu.GetMenuString(0, barText, MF_BYPOSITION);
    EXPECT_EQ(CString(L"&File"), barText);
    EXPECT_EQ(UINT{MF_BYPOSITION | MF_POPUP}, menu.m_items[0]->m_flags);

    CPictureMenu* sub = SubMenuAt(menu, 0);
    ASSERT_NE(nullptr, sub);
    EXPECT_TRUE(CPictureMenu::IsOwnedSubMenu(sub));
    ASSERT_EQ(3, GetMenuItemCount(sub->m_hMenu));
    ASSERT_EQ(3, sub->m_items.GetSize());
    for (int i = 0; i < 3; ++i) {
        const MENUITEMINFOW item = MenuItemAt(sub->m_hMenu, i);
        EXPECT_TRUE(item.fType & MFT_OWNERDRAW);
        EXPECT_EQ(reinterpret_cast<ULONG_PTR>(sub->m_items[i]), item.dwItemData);
    }
    EXPECT_EQ(UINT{MF_SEPARATOR | MF_OWNERDRAW}, sub->m_items[1]->m_flags);
    EXPECT_EQ(100u, sub->m_items[0]->m_commandId);
    EXPECT_EQ(UINT{MF_OWNERDRAW}, sub->m_items[2]->m_flags);  // MF_END is not passed on
    EXPECT_EQ(UINT{MF_CHECKED | MF_GRAYED | MF_OWNERDRAW}, [] {
        CPictureMenu flagged;
        Load(flagged,
             MenuTemplateBuilder().Popup(L"P", MF_END).Item(L"i", 5, MF_CHECKED | MF_GRAYED | MF_END).bytes);
        return SubMenuAt(flagged, 0)->m_items[0]->m_flags;
    }());
}

TEST(PictureMenuLoad, ShortcutTextsLineUpBehindTheWidestLabel) {
    CPictureMenu menu;
    ASSERT_TRUE(Load(menu, MenuTemplateBuilder()
                               .Popup(L"&Edit", MF_END)
                               .Item(L"Cut\tCtrl+X", 1)
                               .Item(L"A much longer label", 2)
                               .Item(L"Paste\tCtrl+V", 3, MF_END)
                               .bytes));
    CPictureMenu* sub = SubMenuAt(menu, 0);
    ASSERT_NE(nullptr, sub);
    const int widest = MenuFontWidth(L"A much longer label ");
    for (const int i : {0, 2}) {
        CString text;
        sub->GetItemText(i, text);
        const int tab = text.Find(L'\t');
        ASSERT_GT(tab, 0);
        const CString label = text.Left(tab);
        EXPECT_GE(MenuFontWidth(label), widest) << i;
        EXPECT_LT(MenuFontWidth(label.Left(label.GetLength() - 1)), widest) << i;
        EXPECT_EQ(i == 0 ? CString(L"\tCtrl+X") : CString(L"\tCtrl+V"), text.Mid(tab));
    }
    CString plain;
    sub->GetItemText(1, plain);
    EXPECT_EQ(CString(L"A much longer label"), plain);
}

TEST(PictureMenuLoad, PaddingStopsWhenASpaceAddsNoWidth) {
    int calls = 0;
    const CString padded = PadLabelToWidth(L"Cut", 50, [&calls](const CString&) {
        ++calls;
        return 10;
    });
    EXPECT_EQ(CString(L"Cut"), padded);
    EXPECT_LE(calls, 2);
    const CString grown =
        PadLabelToWidth(L"ab", 7, [](const CString& text) { return static_cast<int>(text.GetLength()) * 2; });
    EXPECT_EQ(CString(L"ab  "), grown);
}

TEST(PictureMenuLoad, TopLevelItemsAndSeparatorsBecomePlainStringEntries) {
    CPictureMenu menu;
    ASSERT_TRUE(Load(
        menu,
        MenuTemplateBuilder().Popup(L"P").Item(L"inner", 1, MF_END).Item(L"Top", 7).Separator(MF_END).bytes));
    ASSERT_EQ(3, GetMenuItemCount(menu.m_hMenu));
    const MENUITEMINFOW top = MenuItemAt(menu.m_hMenu, 1);
    EXPECT_EQ(7u, top.wID);
    EXPECT_EQ(UINT{MFT_STRING}, top.fType);
    const MENUITEMINFOW separator = MenuItemAt(menu.m_hMenu, 2);
    EXPECT_EQ(0u, separator.wID);
    EXPECT_EQ(UINT{MFT_STRING}, separator.fType);
    EXPECT_EQ(UINT{MF_BYPOSITION}, menu.m_items[2]->m_flags);
}

TEST(PictureMenuLoad, LoadingAgainFirstDestroysTheFirstLoadsSubMenus) {
    CPictureMenu menu;
    ASSERT_TRUE(menu.LoadMenu(IDR_ENTRY_MENU));
    const HMENU firstSub = GetSubMenu(menu.m_hMenu, 0);
    EXPECT_TRUE(CPictureMenu::IsOwnedSubMenu(firstSub));
    ASSERT_TRUE(menu.LoadMenu(IDR_MAIN_MENU));
    EXPECT_FALSE(IsMenu(firstSub));
    EXPECT_EQ(1, CPictureMenu::s_allSubMenus.GetSize());
    EXPECT_TRUE(CPictureMenu::IsOwnedSubMenu(GetSubMenu(menu.m_hMenu, 0)));
    menu.DestroyMenu();
    EXPECT_TRUE(CPictureMenu::s_allSubMenus.IsEmpty());
}

TEST(PictureMenuLoad, ByIdIsByIntegerNameForTheProgramsMenus) {
    for (const UINT id : {UINT{IDR_ENTRY_MENU}, UINT{IDR_MAIN_MENU}}) {
        CPictureMenu byId;
        CPictureMenu byName;
        CPictureMenu byWideId;
        ASSERT_TRUE(byId.LoadMenu(id));
        ASSERT_TRUE(byName.LoadMenu(MAKEINTRESOURCEW(id)));
        ASSERT_TRUE(byWideId.LoadMenu(0x10000u | id));  // only the low 16 bits name the resource
        const CPictureMenu* subs[] = {SubMenuAt(byId, 0), SubMenuAt(byName, 0), SubMenuAt(byWideId, 0)};
        for (const CPictureMenu* sub : subs) {
            ASSERT_NE(nullptr, sub);
            ASSERT_EQ(subs[0]->m_items.GetSize(), sub->m_items.GetSize());
            for (INT_PTR i = 0; i < sub->m_items.GetSize(); ++i) {
                EXPECT_STREQ(subs[0]->m_items[i]->GetText(), sub->m_items[i]->GetText());
                EXPECT_EQ(subs[0]->m_items[i]->m_commandId, sub->m_items[i]->m_commandId);
            }
        }
    }
    CPictureMenu entry;
    entry.LoadMenu(IDR_ENTRY_MENU);
    CPictureMenu* sub = SubMenuAt(entry, 0);
    ASSERT_EQ(10, sub->m_items.GetSize());
    EXPECT_STREQ(L"删除图标", sub->m_items[0]->GetText());
    EXPECT_EQ(UINT_PTR{ID_DESKTOP_SHORTCUT}, sub->m_items[9]->m_commandId);
    CPictureMenu missing;
    EXPECT_FALSE(missing.LoadMenu(4711));
    EXPECT_EQ(nullptr, missing.m_hMenu);
}

TEST(PictureMenuLoad, MalformedTemplatesFailAndLeaveTheMenuAsItWas) {
    const std::vector<BYTE> whole = FileMenu();
    std::vector<std::pair<const char*, std::vector<BYTE>>> cases = {
        {"level never closed", MenuTemplateBuilder().Popup(L"P", MF_END).Item(L"a", 1).Item(L"b", 2).bytes},
        {"bar never closed", MenuTemplateBuilder().Popup(L"P").Item(L"a", 1, MF_END).bytes},
        {"more end marks than levels", MenuTemplateBuilder(FileMenu()).Item(L"extra", 9, MF_END).bytes},
        {"too deep",
         [] {
             MenuTemplateBuilder deep;
             for (int i = 0; i < kMaxMenuTemplateDepth; ++i) {
                 deep.Popup(L"P", MF_END);
             }
             return deep.Item(L"x", 1, MF_END).bytes;
         }()},
        {"first item beyond the end", MenuTemplateBuilder(FileMenu()).bytes},
        {"empty", {}},
        {"header only", MenuTemplateBuilder().bytes},
    };
    cases[4].second[2] = 0xFF;
    for (const size_t cut : {size_t{1}, size_t{2}, size_t{3}, size_t{5}}) {
        // Cut inside the last text (no terminator), its id, its flags.
        cases.push_back(
            {"cut short", std::vector<BYTE>(whole.begin(), whole.end() - static_cast<std::ptrdiff_t>(cut))});
    }
    std::vector<BYTE> unterminated = whole;
    unterminated[unterminated.size() - 2] = 'x';
    cases.push_back({"text without terminator", unterminated});

    CPictureMenu menu;
    for (const auto& [what, bytes] : cases) {
        EXPECT_FALSE(Load(menu, bytes)) << what;
        EXPECT_EQ(nullptr, menu.m_hMenu) << what;
        EXPECT_TRUE(CPictureMenu::s_allSubMenus.IsEmpty()) << what;
    }
    ASSERT_TRUE(Load(menu, whole));
    const HMENU bar = menu.m_hMenu;
    const HMENU sub = GetSubMenu(bar, 0);
    for (const auto& [what, bytes] : cases) {
        EXPECT_FALSE(Load(menu, bytes)) << what;
        EXPECT_EQ(bar, menu.m_hMenu) << what;
        EXPECT_TRUE(IsMenu(sub)) << what;
        EXPECT_EQ(1, CPictureMenu::s_allSubMenus.GetSize()) << what;
    }
    // Zero padding after the last level is no item.
    std::vector<BYTE> padded = whole;
    padded.insert(padded.end(), {0, 0, 0, 0, 0, 0});
    EXPECT_TRUE(Load(menu, padded));
    std::vector<CMenuTemplateItem> items;
    EXPECT_TRUE(ParseMenuTemplate(padded.data(), padded.size(), items));
    EXPECT_EQ(4u, items.size());
}

TEST(PictureMenuLoad, TemplateFlagsThatWouldRetypeTheItemAreDropped) {
    CPictureMenu menu;
    ASSERT_TRUE(Load(menu, MenuTemplateBuilder()
                               .Popup(L"P", MF_END)
                               .Item(L"bitmap?", 1, MF_BITMAP | MF_OWNERDRAW | MF_USECHECKBITMAPS)
                               .Item(L"ok", 2, MF_END | MF_GRAYED)
                               .bytes));
    const CPictureMenu* sub = SubMenuAt(menu, 0);
    ASSERT_NE(nullptr, sub);
    const MENUITEMINFOW item = MenuItemAt(sub->m_hMenu, 0);
    EXPECT_EQ(UINT{MFT_OWNERDRAW}, item.fType);
    EXPECT_EQ(reinterpret_cast<ULONG_PTR>(sub->m_items[0]), item.dwItemData);
}
