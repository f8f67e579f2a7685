// Sizes of owner-drawn items per Windows version code and look.
#include "controls/menu/PictureMenu.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

// Saves the class-wide settings a case changes and puts them back.
class PictureMenuMeasure : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(m_menu.CMenu::CreatePopupMenu());
        m_menu.AppendItem(L"Open\tCtrl+O", 0, 1);
        m_menu.AppendItem(nullptr, 0, 0);
    }
    void TearDown() override {
        CPictureMenu::s_osVersion = m_osVersion;
        CPictureMenu::s_drawMode = m_drawMode;
        CPictureMenu::s_themeTested = m_themeTested;
        CPictureMenu::s_classicTheme = m_classicTheme;
    }

    static void Set(int osVersion, int drawMode, BOOL classicTheme = FALSE) {
        CPictureMenu::s_osVersion = osVersion;
        CPictureMenu::s_drawMode = drawMode;
        CPictureMenu::s_themeTested = TRUE;
        CPictureMenu::s_classicTheme = classicTheme;
    }

    MEASUREITEMSTRUCT Measure(int index) {
        MEASUREITEMSTRUCT item = {ODT_MENU, 0, 0, 0, 0, reinterpret_cast<ULONG_PTR>(m_menu.m_items[index])};
        m_menu.MeasureItem(&item);
        return item;
    }

    // Width of the item's text in the desktop's context, with the menu font or the context's own.
    static int TextWidth(bool menuFont) {
        CFont font;
        CPictureMenu::CreateMenuFont(font);
        HDC dc = GetDC(GetDesktopWindow());
        HGDIOBJ previous = menuFont ? SelectObject(dc, font.m_hObject) : nullptr;
        SIZE size = {};
        GetTextExtentPoint32W(dc, L"Open\tCtrl+O", 11, &size);
        if (previous != nullptr) {
            SelectObject(dc, previous);
        }
        ReleaseDC(GetDesktopWindow(), dc);
        return size.cx;
    }

    CPictureMenu m_menu;
    int m_osVersion = CPictureMenu::s_osVersion;
    int m_drawMode = CPictureMenu::s_drawMode;
    BOOL m_themeTested = CPictureMenu::s_themeTested;
    BOOL m_classicTheme = CPictureMenu::s_classicTheme;
};

}  // namespace

TEST_F(PictureMenuMeasure, ClassicAndFlatWidthsAndHeightsPerVersionCode) {
    const int menuHeight = GetSystemMetrics(SM_CYMENU);
    struct Case {
        int osVersion, drawMode;
        BOOL classicTheme;
        int textWidth, extra, minHeight;
    };
    const Case cases[] = {
        {1, 0, FALSE, TextWidth(false), 33, 19},  // NT 6.x and later: the context's font, classic
        {1, 1, FALSE, TextWidth(false), 31, 22},  // flat when asked for
        {0, 0, FALSE, 0, 33, 19},                 // no text measured at all
        {0, 1, FALSE, 0, 31, 22},
        {2, 0, FALSE, TextWidth(true), 33, 19},  // the menu font from Windows 95 on
        {7, 0, FALSE, TextWidth(true), 31, 22},  // themed XP: flat
        {7, 0, TRUE, TextWidth(true), 33, 19},   // XP with the classic theme
    };
    for (const Case& c : cases) {
        Set(c.osVersion, c.drawMode, c.classicTheme);
        const MEASUREITEMSTRUCT item = Measure(0);
        EXPECT_EQ(UINT(c.textWidth + c.extra), item.itemWidth) << c.osVersion << "/" << c.drawMode;
        EXPECT_EQ(UINT(std::max(menuHeight, c.minHeight)), item.itemHeight)
            << c.osVersion << "/" << c.drawMode;
    }
    EXPECT_NE(TextWidth(false), TextWidth(true));  // else the font cases prove nothing
}

TEST_F(PictureMenuMeasure, SeparatorsAreHalfHeightAndNoWidthWhateverTheFont) {
    const int halfMenu = GetSystemMetrics(SM_CYMENU) / 2;
    for (const int osVersion : {0, 1, 2, 7}) {
        Set(osVersion, 0, TRUE);
        MEASUREITEMSTRUCT item = Measure(1);
        EXPECT_EQ(0u, item.itemWidth);
        EXPECT_EQ(UINT(std::max(halfMenu, 9)), item.itemHeight);
        Set(osVersion, 1);
        item = Measure(1);
        EXPECT_EQ(0u, item.itemWidth);
        EXPECT_EQ(UINT(std::max(halfMenu, 11)), item.itemHeight);
    }
}

TEST_F(PictureMenuMeasure, ForeignItemDataMeasuresAsAnEmptyItem) {
    Set(2, 0);
    int notARecord[8] = {MF_SEPARATOR, MF_SEPARATOR, MF_SEPARATOR, MF_SEPARATOR};
    MEASUREITEMSTRUCT item = {ODT_MENU, 0, 0, 0, 0, reinterpret_cast<ULONG_PTR>(notARecord)};
    m_menu.MeasureItem(&item);
    EXPECT_EQ(33u, item.itemWidth);
    item.itemData = 0;
    m_menu.MeasureItem(&item);
    EXPECT_EQ(33u, item.itemWidth);
}
