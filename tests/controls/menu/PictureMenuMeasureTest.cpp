// Sizes of owner-drawn items per Windows version code and look.
#include "controls/menu/PictureMenu.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <optional>

namespace {

// Width of the item text in a screen context, in the menu font or the context's own.
int TextWidth(bool menuFont) {
    CFont font;
    CMenuPaintRoutines::CreateMenuFont(font);
    HDC dc = GetDC(nullptr);
    HGDIOBJ previous = SelectObject(dc, menuFont ? font.m_hObject : GetCurrentObject(dc, OBJ_FONT));
    SIZE size = {};
    GetTextExtentPoint32W(dc, L"Open\tCtrl+O", 11, &size);
    SelectObject(dc, previous);
    ReleaseDC(nullptr, dc);
    return size.cx;
}

}  // namespace

TEST(PictureMenuMeasure, WidthsAndHeightsPerVersionCodeAndLook) {
    const int savedOsVersion = CPictureMenuShared::Instance().OsVersion();
    const int savedDrawMode = CPictureMenu::GetDrawMode();
    const std::optional<BOOL> savedTheme = CPictureMenuShared::Instance().CachedClassicTheme();
    CPictureMenu menu;
    ASSERT_TRUE(menu.CMenu::CreatePopupMenu());
    menu.AppendItem(L"Open\tCtrl+O", 0, 1);
    menu.AppendItem(nullptr, 0, 0);
    const int cyMenu = GetSystemMetrics(SM_CYMENU);
    int notARecord[4] = {MF_SEPARATOR, MF_SEPARATOR, MF_SEPARATOR, MF_SEPARATOR};
    const struct {
        int osVersion, drawMode;
        BOOL classicTheme;
        int textWidth, extra, height;
    } cases[] = {
        {1, 0, FALSE, TextWidth(false), 33, 19},  // NT 6.x and later: classic, the context's font
        {1, 1, FALSE, TextWidth(false), 31, 22},  // flat when asked for
        {0, 0, FALSE, 0, 33, 19},                 // no text measured at all
        {2, 0, FALSE, TextWidth(true), 33, 19},   // the menu font from Windows 95 on
        {7, 0, FALSE, TextWidth(true), 31, 22},   // themed XP: flat
        {7, 0, TRUE, TextWidth(true), 33, 19},    // XP in the classic theme
    };
    for (const auto& c : cases) {
        CPictureMenuShared::Instance().UseOsVersion(c.osVersion);
        CPictureMenu::SetDrawMode(c.drawMode);
        CPictureMenuShared::Instance().CacheClassicTheme(c.classicTheme);
        MEASUREITEMSTRUCT item = {ODT_MENU, 0, 0, 0, 0, reinterpret_cast<ULONG_PTR>(menu.m_items[0])};
        menu.MeasureItem(&item);
        EXPECT_EQ(UINT(c.textWidth + c.extra), item.itemWidth) << c.osVersion << c.drawMode;
        EXPECT_EQ(UINT(std::max(cyMenu, c.height)), item.itemHeight) << c.osVersion << c.drawMode;
        item.itemData = reinterpret_cast<ULONG_PTR>(menu.m_items[1]);
        menu.MeasureItem(&item);
        EXPECT_EQ(0u, item.itemWidth);
        EXPECT_EQ(UINT(std::max(cyMenu / 2, c.extra == 33 ? 9 : 11)), item.itemHeight);
        // Data that is no record of the menu measures as an empty item.
        item.itemData = reinterpret_cast<ULONG_PTR>(notARecord);
        menu.MeasureItem(&item);
        EXPECT_EQ(UINT(c.extra), item.itemWidth);
    }
    EXPECT_NE(TextWidth(false), TextWidth(true));  // else the font cases prove nothing
    CPictureMenuShared::Instance().UseOsVersion(savedOsVersion);
    CPictureMenu::SetDrawMode(savedDrawMode);
    CPictureMenuShared::Instance().CacheClassicTheme(savedTheme);
}
