// Both menu looks painted into 32-bit memory surfaces and read back pixel by pixel.
#include "controls/menu/OffscreenDC.h"
#include "controls/menu/PictureMenu.h"
#include "controls/menu/PictureMenuPainter.h"
#include "framework/Icon.h"
#include "framework/ScopedSelect.h"
#include "tests/common/ObjectHeadroom.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <optional>
#include <utility>
#include <vector>

namespace {

constexpr COLORREF kUntouched = RGB(1, 2, 3);
constexpr RECT kRow = {0, 0, 200, 22};
constexpr COLORREF kSquareColor = RGB(0, 0, 128);  // dark enough to stay black in one bit

COLORREF Sys(int index) { return GetSysColor(index); }

class Surface {
public:
    Surface(int width = 200, int height = 24) : m_width(width), m_height(height) {
        m_dc.CreateCompatibleDC(nullptr);
        BITMAPINFO info = {{sizeof(BITMAPINFOHEADER), width, -height, 1, 32, BI_RGB, 0, 0, 0, 0, 0}, {}};
        m_bitmap.Attach(CreateDIBSection(m_dc, &info, DIB_RGB_COLORS, &m_bits, nullptr, 0));
        m_select.emplace(m_dc, m_bitmap);
        const RECT all = {0, 0, width, height};
        m_dc.FillSolidRect(&all, kUntouched);
    }
    HDC Dc() const { return m_dc.m_hDC; }
    COLORREF At(int x, int y) const { return m_dc.GetPixel(x, y); }
    // Leftmost and rightmost columns holding `color` (left > right when there is none).
    std::pair<int, int> ColumnsOf(COLORREF color) const {
        int left = m_width, right = -1;
        for (int y = 0; y < m_height; ++y) {
            for (int x = 0; x < m_width; ++x) {
                if (At(x, y) == color) {
                    left = std::min(left, x);
                    right = std::max(right, x);
                }
            }
        }
        return {left, right};
    }
    bool SameAs(const Surface& other) const {
        return std::memcmp(m_bits, other.m_bits, static_cast<size_t>(m_width * m_height * 4)) == 0;
    }

private:
    int m_width;
    int m_height;
    CDC m_dc;
    CBitmap m_bitmap;
    void* m_bits = nullptr;
    std::optional<CScopedSelect> m_select;
};

// An image list with one 16 x 15 picture: a dark square over pixels 4..11, transparent around it.
std::unique_ptr<CImageList> SquarePicture() {
    std::vector<DWORD> color(16 * 15, 0);
    std::vector<BYTE> mask(2 * 15, 0xFF);  // rows of 16 bits; a set bit is transparent
    for (int y = 4; y <= 11; ++y) {
        std::fill_n(color.begin() + y * 16 + 4, 8, 0xFF000000 | GetBValue(kSquareColor));
        mask[y * 2] = 0xF0;
        mask[y * 2 + 1] = 0x0F;
    }
    const CIcon icon(CreateIcon(nullptr, 16, 15, 1, 32, mask.data(), reinterpret_cast<BYTE*>(color.data())));
    auto list = std::make_unique<CImageList>();
    list->Create(16, 15, ILC_COLOR32 | ILC_MASK, 1, 1);
    list->Add(icon);
    return list;
}

// A pop-up menu whose item kRadioId has a checked-state bitmap, which makes it a radio item.
constexpr UINT kRadioId = 100;
struct RadioMenu {
    RadioMenu() {
        AppendMenuW(menu, MF_STRING, kRadioId, L"radio");
        bitmap.CreateBitmap(8, 8, 1, 1, nullptr);
        SetMenuItemBitmaps(menu, kRadioId, MF_BYCOMMAND, nullptr, bitmap);
    }
    ~RadioMenu() { DestroyMenu(menu); }
    HMENU menu = CreatePopupMenu();
    CBitmap bitmap;
};

std::unique_ptr<CPictureMenuItem> Item(const wchar_t* text, UINT flags = MF_OWNERDRAW) {
    auto item = std::make_unique<CPictureMenuItem>();
    item->SetText(text);
    item->m_flags = flags;
    return item;
}

std::unique_ptr<CPictureMenuItem> PictureItem(bool dithered, CPictureMenu& menu) {
    auto item = Item(L"Pic");
    item->m_imageId = 0;
    item->m_imageIndex = 0;
    item->m_imageList = SquarePicture();
    menu.m_ditherDisabled = dithered;
    return item;
}

class MenuDraw : public ::testing::Test {
protected:
    void SetUp() override {
        CPictureMenuShared::Instance().UseOsVersion(1);
        CPictureMenuShared::Instance().CacheClassicTheme(FALSE);
        CPictureMenuShared::Instance().SetSelectDisabled(FALSE);
    }
    void TearDown() override {
        CPictureMenuShared::Instance().UseOsVersion(m_osVersion);
        CPictureMenu::SetDrawMode(m_drawMode);
        CPictureMenuShared::Instance().CacheClassicTheme(m_theme);
        CPictureMenuShared::Instance().SetSelectDisabled(m_selectDisabled);
    }
    // kClassic: on a system without 3-D frames, where the classic item background is COLOR_MENU.
    // kClassicXp: the classic painter on themed Windows XP, where that background is button face.
    enum Look { kClassic, kClassicXp, kFlat };
    DRAWITEMSTRUCT Draw(Surface& surface, const CPictureMenuItem* record, UINT state, Look look,
                        RECT rect = kRow, HMENU menu = nullptr, UINT id = 0) {
        DRAWITEMSTRUCT item = {ODT_MENU,       0,     id,
                               ODA_DRAWENTIRE, state, reinterpret_cast<HWND>(menu),
                               surface.Dc(),   rect,  reinterpret_cast<ULONG_PTR>(record)};
        CPictureMenu::SetDrawMode(look == kFlat ? 1 : 0);
        if (look == kClassicXp) {
            const int osVersion = CPictureMenuShared::Instance().OsVersion();
            CPictureMenuShared::Instance().UseOsVersion(7);
            m_menu.DrawItemClassic(&item);  // DrawItem would choose the flat look here
            CPictureMenuShared::Instance().UseOsVersion(osVersion);
        } else {
            // The menu paints only its own records: this one is lent to it for the paint.
            const INT_PTR lent = record != nullptr ? m_menu.m_items.Add(std::unique_ptr<CPictureMenuItem>(
                                                         const_cast<CPictureMenuItem*>(record)))
                                                   : -1;
            m_menu.DrawItem(&item);
            if (lent >= 0) {
                m_menu.m_items.RemoveAt(lent).release();  // given back to its owner
            }
        }
        return item;
    }
    // Flat look: picture column colour.
    static COLORREF Column() { return CPictureMenu::LightenColor(0.25, Sys(COLOR_BTNFACE)); }

    CPictureMenu m_menu;
    const int m_osVersion = CPictureMenuShared::Instance().OsVersion();
    const int m_drawMode = CPictureMenu::GetDrawMode();
    const std::optional<BOOL> m_theme = CPictureMenuShared::Instance().CachedClassicTheme();
    const BOOL m_selectDisabled = CPictureMenuShared::Instance().SelectsDisabled();
};

TEST(MenuColors, LightenColorMovesEachChannelTowardWhiteByTheFraction) {
    EXPECT_EQ(CPictureMenu::LightenColor(0.5, RGB(0, 100, 255)), RGB(127, 177, 255));
    EXPECT_EQ(CPictureMenu::LightenColor(0.25, RGB(200, 40, 0)), RGB(213, 93, 63));
    EXPECT_EQ(CPictureMenu::LightenColor(1.0, RGB(9, 8, 7)), RGB(255, 255, 255));
    for (const double outside : {0.0, 1.5, -0.5}) {
        EXPECT_EQ(CPictureMenu::LightenColor(outside, RGB(9, 8, 7)), RGB(9, 8, 7));
    }
}

TEST(MenuPictures, ImageTripleNeedsThreeEqualIdsInsideTheSharedList) {
    for (int id : {5, 5, 5, 7}) {
        CPictureMenuShared::Instance().Pictures().AddId(id);
    }
    EXPECT_TRUE(CPictureMenu::HasImageTriple(0));
    for (const int outside : {1, 2, -1}) {
        EXPECT_FALSE(CPictureMenu::HasImageTriple(outside)) << outside;
    }
    CPictureMenu::ClearSharedPictures();
}

TEST_F(MenuDraw, SeparatorsAreEtchedAcrossTheMiddleAndFlatOnesStartRightOfTheColumn) {
    const auto separator = Item(nullptr, MF_SEPARATOR | MF_OWNERDRAW);
    Surface classic, flat;
    Draw(classic, separator.get(), 0, kClassicXp, {0, 0, 200, 9});
    EXPECT_EQ(classic.At(50, 3), Sys(COLOR_BTNFACE));
    EXPECT_EQ(classic.At(0, 4), Sys(COLOR_BTNSHADOW));
    EXPECT_EQ(classic.At(199, 5), Sys(COLOR_BTNHIGHLIGHT));
    Draw(flat, separator.get(), 0, kFlat, {0, 0, 200, 9});
    EXPECT_EQ(flat.At(22, 4), Column());
    EXPECT_EQ(flat.At(29, 4), Sys(COLOR_WINDOW));
    EXPECT_EQ(flat.At(30, 4), Sys(COLOR_BTNSHADOW));
}

TEST_F(MenuDraw, SelectionSpansTheRowOrSparesThePictureColumn) {
    const auto plain = Item(L"Go");
    Surface whole, spared, flat;
    Draw(whole, plain.get(), ODS_SELECTED, kClassic);
    EXPECT_EQ(whole.At(0, 10), Sys(COLOR_HIGHLIGHT));
    Draw(spared, plain.get(), ODS_SELECTED | ODS_CHECKED, kClassic);
    EXPECT_EQ(spared.At(20, 1), kUntouched);
    EXPECT_EQ(spared.At(21, 1), Sys(COLOR_HIGHLIGHT));
    Draw(flat, plain.get(), ODS_SELECTED, kFlat);
    const COLORREF highlight = Sys(COLOR_HIGHLIGHT);
    EXPECT_EQ(flat.At(0, 0), highlight);
    EXPECT_EQ(flat.At(199, 21), highlight);
    EXPECT_EQ(flat.At(5, 5), CPictureMenu::LightenColor(0.85, highlight));
}

TEST_F(MenuDraw, CheckedItemsShowATickOrARadioDotInTheirBox) {
    const RadioMenu popup;
    const auto item = Item(L"Go");
    const COLORREF mark = Sys(COLOR_MENUTEXT);
    const COLORREF lightBox = CPictureMenu::LightenColor(0.6, Sys(COLOR_MENU));

    Surface tick, sunken, radio, flatTick;
    Draw(tick, item.get(), ODS_CHECKED, kClassic);  // box (1, 3)-(17, 18), tick from (5, 7)
    EXPECT_EQ(tick.At(1, 3), lightBox) << "no sunken edge before Windows 95";
    EXPECT_EQ(tick.At(5, 9), mark);
    EXPECT_EQ(tick.At(11, 7), mark);
    EXPECT_EQ(tick.At(11, 10), lightBox);
    CPictureMenuShared::Instance().UseOsVersion(2);
    Draw(sunken, item.get(), ODS_CHECKED, kClassic);
    EXPECT_EQ(sunken.At(1, 3), Sys(COLOR_BTNSHADOW));
    Draw(radio, item.get(), ODS_CHECKED, kClassic, kRow, popup.menu, kRadioId);
    EXPECT_EQ(radio.At(8, 10), mark);
    EXPECT_EQ(radio.At(5, 9), lightBox);
    Draw(flatTick, item.get(), ODS_CHECKED, kFlat);  // box (4, 3)-(20, 19), tick from (9, 7)
    EXPECT_EQ(flatTick.At(4, 3), Sys(COLOR_HIGHLIGHT));
    EXPECT_EQ(flatTick.At(3, 3), Column());
    EXPECT_EQ(flatTick.At(9, 9), mark);
}

TEST_F(MenuDraw, GrayedTextIsEmbossedInClassicAndLightGrayInFlat) {
    const auto item = Item(L"MMMM");
    Surface classic, flat;
    Draw(classic, item.get(), ODS_GRAYED, kClassicXp);  // the highlight copy shows on button face
    const auto gray = classic.ColumnsOf(Sys(COLOR_GRAYTEXT));
    const auto light = classic.ColumnsOf(Sys(COLOR_BTNHIGHLIGHT));
    ASSERT_LE(gray.first, gray.second);
    EXPECT_EQ(light.first, gray.first + 1);
    EXPECT_EQ(light.second, gray.second + 1);
    Draw(flat, item.get(), ODS_GRAYED, kFlat);
    const auto flatGray = flat.ColumnsOf(CPictureMenu::LightenColor(0.4, Sys(COLOR_GRAYTEXT)));
    EXPECT_LE(flatGray.first, flatGray.second);
    EXPECT_GE(flatGray.first, 31);
}

TEST_F(MenuDraw, LabelSitsLeftAndShortcutRightAlignedWithoutTheMiddlePart) {
    const auto item = Item(L"Open\tmiddle part\tKeys");
    Surface surface;
    Draw(surface, item.get(), 0, kClassic);
    const COLORREF text = Sys(COLOR_MENUTEXT);
    const auto columns = surface.ColumnsOf(text);
    EXPECT_GE(columns.first, 25);
    EXPECT_LE(columns.first, 27);
    EXPECT_LE(columns.second, 200 - 16 - 1);
    EXPECT_GE(columns.second, 200 - 16 - 3);
    for (int x = 80; x < 140; ++x) {
        for (int y = 0; y < 22; ++y) {
            ASSERT_NE(surface.At(x, y), text) << "the part between the tabs is drawn at " << x;
        }
    }
}

// The square (4..11) lands at P + 4 in shadow colour, with a highlight edge one pixel lower right.
TEST_F(MenuDraw, DisabledPicturesAreShadowedWithAHighlightEdgeByBothMethods) {
    for (const bool dithered : {false, true}) {
        const auto item = PictureItem(dithered, m_menu);
        Surface classic, flat;
        Draw(classic, item.get(), ODS_GRAYED, kClassicXp);  // P = (2, 3)
        EXPECT_EQ(classic.At(10, 10), Sys(COLOR_BTNSHADOW)) << dithered;
        EXPECT_EQ(classic.At(14, 10), Sys(COLOR_BTNHIGHLIGHT)) << dithered;
        EXPECT_EQ(classic.At(4, 4), Sys(COLOR_BTNFACE)) << dithered;
        Draw(flat, item.get(), ODS_GRAYED, kFlat);  // P = (4, 4)
        EXPECT_EQ(flat.At(12, 12), Sys(COLOR_BTNSHADOW)) << dithered;
        EXPECT_EQ(flat.At(16, 12), Sys(COLOR_BTNHIGHLIGHT)) << dithered;
        EXPECT_EQ(flat.At(5, 5), Column()) << dithered;
    }
    const auto noList = Item(L"Pic");
    noList->m_imageId = 0;
    Surface surface;
    Draw(surface, noList.get(), ODS_GRAYED, kClassic);
    EXPECT_EQ(surface.At(10, 10), Sys(COLOR_MENU));
}

TEST_F(MenuDraw, DisabledFlatItemDrawnOffScreenMatchesDirectDrawingAndIsNeverSelected) {
    const auto item = PictureItem(false, m_menu);
    Surface offscreen, direct;
    const DRAWITEMSTRUCT drawn = Draw(offscreen, item.get(), ODS_GRAYED | ODS_SELECTED, kFlat);
    EXPECT_EQ(drawn.itemState, UINT{ODS_GRAYED});
    CFont menuFont;
    ASSERT_TRUE(CMenuPaintRoutines::CreateMenuFont(menuFont));
    CDC* directDc = CDC::FromHandle(direct.Dc());
    CScopedSelect selectFont(*directDc, menuFont);
    CPictureMenuShared::Instance().SetSelectDisabled(TRUE);
    Draw(direct, item.get(), ODS_GRAYED, kFlat);
    EXPECT_TRUE(offscreen.SameAs(direct));
}

TEST(OffscreenContext, CopiesItsAreaToTheTargetOnlyWhenItGoes) {
    Surface surface;
    {
        COffscreenDC offscreen(CDC::FromHandle(surface.Dc()), RECT{10, 5, 50, 15});
        const RECT beyond = {0, 0, 200, 24};
        offscreen.FillSolidRect(&beyond, RGB(9, 9, 9));
        EXPECT_EQ(surface.At(20, 10), kUntouched);
    }
    EXPECT_EQ(surface.At(10, 5), RGB(9, 9, 9));
    EXPECT_EQ(surface.At(49, 14), RGB(9, 9, 9));
    EXPECT_EQ(surface.At(9, 5), kUntouched);
    EXPECT_EQ(surface.At(50, 14), kUntouched);
}

TEST_F(MenuDraw, OffScreenBitmapThatCannotBeMadeFallsBackToTheTarget) {
    const auto item = Item(L"Huge");
    Surface huge, empty, fresh;
    const HGDIOBJ font = GetCurrentObject(huge.Dc(), OBJ_FONT);
    const HGDIOBJ bitmap = GetCurrentObject(huge.Dc(), OBJ_BITMAP);
    Draw(huge, item.get(), ODS_GRAYED, kFlat, {0, 0, 100000, 100000});
    EXPECT_EQ(huge.At(5, 5), Column());
    EXPECT_EQ(huge.At(50, 5), Sys(COLOR_WINDOW));
    EXPECT_EQ(GetCurrentObject(huge.Dc(), OBJ_FONT), font);
    EXPECT_EQ(GetCurrentObject(huge.Dc(), OBJ_BITMAP), bitmap);
    for (const RECT rect : {RECT{10, 10, 10, 10}, RECT{50, 10, 10, 5}}) {
        Draw(empty, item.get(), ODS_GRAYED, kFlat, rect);
        Draw(empty, item.get(), ODS_CHECKED, kClassic, rect);
    }
    EXPECT_TRUE(empty.SameAs(fresh));

    // Item data that is none of the menu's records is not read as one.
    DRAWITEMSTRUCT foreign = {ODT_MENU,       0,    0,
                              ODA_DRAWENTIRE, 0,    nullptr,
                              empty.Dc(),     kRow, reinterpret_cast<ULONG_PTR>(item.get())};
    m_menu.DrawItem(&foreign);
    EXPECT_TRUE(empty.SameAs(fresh));
}

TEST_F(MenuDraw, PaintingEveryKindOfItemInBothLooksLeavesNoObjectsBehind) {
    const RadioMenu popup;
    std::vector<std::unique_ptr<CPictureMenuItem>> items;
    items.push_back(Item(nullptr, MF_SEPARATOR | MF_OWNERDRAW));
    items.push_back(Item(L"Text\tCtrl+T"));
    items.push_back(PictureItem(false, m_menu));
    items.push_back(nullptr);
    const auto paintAll = [&] {
        Surface surface;
        for (const bool flat : {false, true}) {
            for (const UINT state : {0u, 1u, 2u, 3u, 8u, 9u, 10u}) {
                for (const auto& item : items) {
                    Draw(surface, item.get(), state, flat ? kFlat : kClassic, kRow, popup.menu, kRadioId);
                }
                m_menu.m_ditherDisabled = !m_menu.m_ditherDisabled;
            }
        }
        Draw(surface, items[1].get(), ODS_GRAYED, kFlat, {0, 0, 100000, 100000});
    };
    EXPECT_LE(headroom::LostOver(30, paintAll), 8);
}

// The painter is handed everything it draws: with settings made here, and no menu at all, it
// paints what the menu paints with the same settings.
TEST_F(MenuDraw, PainterGivenOnlyItsArgumentsPaintsWhatTheMenuPaints) {
    const RadioMenu popup;
    std::vector<std::unique_ptr<CPictureMenuItem>> items;
    items.push_back(Item(L"Text\tCtrl+T"));
    items.push_back(PictureItem(true, m_menu));
    items.push_back(Item(nullptr, MF_SEPARATOR | MF_OWNERDRAW));
    MenuPaintSettings settings;
    settings.osVersion = 1;
    settings.iconWidth = 16;
    settings.iconHeight = 15;
    settings.ditherDisabled = true;
    settings.sharedPictures = &CPictureMenuShared::Instance().Pictures();
    for (const bool flat : {false, true}) {
        settings.flat = flat;
        for (const UINT state : {0u, 1u, 3u, 9u}) {
            for (const auto& record : items) {
                Surface viaMenu, alone;
                const DRAWITEMSTRUCT byMenu =
                    Draw(viaMenu, record.get(), state, flat ? kFlat : kClassic, kRow, popup.menu, kRadioId);
                DRAWITEMSTRUCT item = {ODT_MENU,       0,     kRadioId,
                                       ODA_DRAWENTIRE, state, reinterpret_cast<HWND>(popup.menu),
                                       alone.Dc(),     kRow,  0};
                CPictureMenuPainter(settings).Paint(item, record.get());
                EXPECT_TRUE(alone.SameAs(viaMenu)) << flat << " " << state << " " << record->GetText();
                EXPECT_EQ(item.itemState, byMenu.itemState);
            }
        }
    }
    MEASUREITEMSTRUCT measured = {ODT_MENU, 0, 0, 0, 0, 0};
    CPictureMenuPainter(settings).Measure(measured, items[2].get());
    EXPECT_EQ(measured.itemHeight, static_cast<UINT>(std::max(GetSystemMetrics(SM_CYMENU) / 2, 11)));
}

}  // namespace
