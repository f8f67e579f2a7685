// The picture operations seen where they matter: in the picture column of a painted item.
#include "controls/menu/PictureMenu.h"
#include "framework/Icon.h"
#include "framework/ScopedSelect.h"
#include "tests/controls/menu/MenuTemplateBuilder.h"

#include <gtest/gtest.h>

#include <optional>
#include <vector>

namespace {

constexpr UINT kOpenId = 40;
constexpr UINT kCopyId = 41;
constexpr UINT kLateId = 42;
constexpr COLORREF kRed = RGB(200, 0, 0);
constexpr COLORREF kGreen = RGB(0, 160, 0);
constexpr COLORREF kBlue = RGB(0, 0, 200);
constexpr RECT kRow = {0, 0, 200, 22};
// Inside the 16 x 15 picture in both looks (classic at (2, 3), flat at (4, 4)).
constexpr POINT kPictureSpot = {10, 10};

CIcon SolidIcon(COLORREF color) {
    std::vector<DWORD> pixels(
        16 * 16, 0xFF000000 | (GetRValue(color) << 16) | (GetGValue(color) << 8) | GetBValue(color));
    std::vector<BYTE> mask(2 * 16, 0);
    return CIcon(CreateIcon(nullptr, 16, 16, 1, 32, mask.data(), reinterpret_cast<BYTE*>(pixels.data())));
}

class Surface {
public:
    Surface() {
        m_dc.CreateCompatibleDC(nullptr);
        BITMAPINFO info = {{sizeof(BITMAPINFOHEADER), 200, -24, 1, 32, BI_RGB, 0, 0, 0, 0, 0}, {}};
        void* bits = nullptr;
        m_bitmap.Attach(CreateDIBSection(m_dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
        m_select.emplace(m_dc, m_bitmap);
    }
    HDC Dc() const { return m_dc.m_hDC; }
    COLORREF At(POINT point) const { return m_dc.GetPixel(point.x, point.y); }

private:
    CDC m_dc;
    CBitmap m_bitmap;
    std::optional<CScopedSelect> m_select;
};

class MenuOperations : public ::testing::Test {
protected:
    void SetUp() override {
        CPictureMenuShared::Instance().UseOsVersion(1);  // no theme decides the look
        const std::vector<BYTE> bytes = MenuTemplateBuilder()
                                            .Popup(L"file", MF_END)
                                            .Item(L"&Open", kOpenId)
                                            .Item(L"&Copy", kCopyId, MF_END)
                                            .bytes;
        ASSERT_TRUE(m_menu.LoadMenuTemplate(bytes.data(), bytes.size()));
        m_popup = DYNAMIC_DOWNCAST(CPictureMenu, CMenu::FromHandlePermanent(GetSubMenu(m_menu.m_hMenu, 0)));
        ASSERT_NE(nullptr, m_popup);
    }
    void TearDown() override {
        CPictureMenu::ClearSharedPictures();
        CPictureMenuShared::Instance().UseOsVersion(m_osVersion);
        CPictureMenu::SetDrawMode(m_drawMode);
    }
    // Paints the popup's item at `position` through the top menu, as the button's owner would.
    COLORREF PictureSpot(int position, UINT state = 0) {
        Surface surface;
        DRAWITEMSTRUCT item = {
            ODT_MENU,       0,     m_popup->GetMenuItemID(position),
            ODA_DRAWENTIRE, state, reinterpret_cast<HWND>(m_popup->m_hMenu),
            surface.Dc(),   kRow,  reinterpret_cast<ULONG_PTR>(m_popup->m_items[position])};
        m_menu.DrawItem(&item);
        m_lastCorner = surface.At({1, 1});
        return surface.At(kPictureSpot);
    }

    CPictureMenu m_menu;
    CPictureMenu* m_popup = nullptr;
    COLORREF m_lastCorner = CLR_INVALID;
    const int m_osVersion = CPictureMenuShared::Instance().OsVersion();
    const int m_drawMode = CPictureMenu::GetDrawMode();
};

}  // namespace

TEST_F(MenuOperations, OwnAndSharedPicturesShowInThePictureColumnInBothLooks) {
    const CIcon red = SolidIcon(kRed);
    const CIcon blue = SolidIcon(kBlue);
    EXPECT_FALSE(m_menu.SetItemPicture(999, red));
    ASSERT_TRUE(m_menu.SetItemPicture(kOpenId, red));  // found in the sub-menu
    EXPECT_EQ(0, CPictureMenu::AddSharedPicture(kCopyId, blue));
    EXPECT_EQ(0, m_popup->m_items[1]->m_sharedImageIndex);  // appended before, resolved now
    for (const int mode : {CPictureMenu::DRAW_MODE_AUTO, CPictureMenu::DRAW_MODE_FLAT}) {
        ASSERT_TRUE(CPictureMenu::SetDrawMode(mode));
        EXPECT_EQ(kRed, PictureSpot(0)) << mode;
        EXPECT_EQ(kBlue, PictureSpot(1)) << mode;
    }
    // The own picture wins over a shared one; taking it away shows the shared one.
    CPictureMenu::AddSharedPicture(kOpenId, blue);
    EXPECT_EQ(kRed, PictureSpot(0));
    ASSERT_TRUE(m_menu.SetItemPicture(kOpenId, nullptr));
    EXPECT_EQ(-1, m_popup->m_items[0]->m_imageId);
    EXPECT_EQ(kBlue, PictureSpot(0));
    // Cleared shared pictures leave no record pointing into the empty list.
    CPictureMenu::ClearSharedPictures();
    EXPECT_EQ(-1, m_popup->m_items[1]->m_sharedImageIndex);
    EXPECT_NE(kBlue, PictureSpot(1));
}

TEST_F(MenuOperations, SharedPicturesAreAllOrNothingAndReachResynchronisedItems) {
    const CIcon green = SolidIcon(kGreen);
    EXPECT_EQ(-1, CPictureMenu::AddSharedPicture(0, green));  // separators' id
    EXPECT_EQ(-1, CPictureMenu::AddSharedPictureTriple(kLateId, green, nullptr, green));
    EXPECT_EQ(0, CPictureMenuShared::Instance().Pictures().IdCount());
    EXPECT_EQ(0, CPictureMenu::AddSharedPicture(kOpenId, green));
    EXPECT_EQ(1, CPictureMenu::AddSharedPictureTriple(kLateId, green, green, green));
    EXPECT_TRUE(CPictureMenu::HasImageTriple(1));
    EXPECT_EQ(4, CPictureMenuShared::Instance().Pictures().Images().GetImageCount());

    // An item that other code put into the platform menu gets its shared picture when the next
    // mnemonic lookup re-synchronises the records.
    ASSERT_TRUE(AppendMenuW(m_popup->m_hMenu, MF_STRING, kLateId, L"&Late"));
    EXPECT_EQ(MAKELRESULT(2, MNC_EXECUTE), CPictureMenu::FindShortcut(L'l', MF_POPUP, m_popup));
    ASSERT_EQ(3, m_popup->m_items.GetSize());
    EXPECT_EQ(1, m_popup->m_items[2]->m_sharedImageIndex);
    EXPECT_EQ(kGreen, PictureSpot(2));
}

TEST_F(MenuOperations, CheckPicturesReplaceTheTickAndReachLoadedSubMenus) {
    const CIcon green = SolidIcon(kGreen);
    const CIcon red = SolidIcon(kRed);
    const COLORREF tickSpot = PictureSpot(0, ODS_CHECKED);
    ASSERT_TRUE(m_menu.SetCheckPictures(green, red));
    EXPECT_EQ(m_menu.m_checkImages, m_popup->m_checkImages);  // shared, deleted by the top menu only
    EXPECT_TRUE(m_popup->m_checkImagesShared);
    EXPECT_GT(m_popup->m_checkUnselectedId, 0);
    EXPECT_GT(m_popup->m_checkSelectedId, 0);
    EXPECT_EQ(kGreen, PictureSpot(0, ODS_CHECKED));
    EXPECT_EQ(kRed, PictureSpot(0, ODS_CHECKED | ODS_SELECTED));

    // An absent selected picture: the unselected one stands in.
    ASSERT_TRUE(m_menu.SetCheckPictures(green, nullptr));
    EXPECT_EQ(-1, m_popup->m_checkSelectedId);
    EXPECT_EQ(kGreen, PictureSpot(0, ODS_CHECKED | ODS_SELECTED));

    ASSERT_TRUE(m_menu.SetCheckPictures(nullptr, nullptr));
    EXPECT_EQ(nullptr, m_popup->m_checkImages);
    EXPECT_EQ(-1, m_popup->m_checkUnselectedId);
    EXPECT_EQ(tickSpot, PictureSpot(0, ODS_CHECKED));
}

TEST_F(MenuOperations, DrawModeSwitchesTheLookAndRefusesUnknownModes) {
    ASSERT_TRUE(CPictureMenu::SetDrawMode(CPictureMenu::DRAW_MODE_AUTO));
    PictureSpot(0);
    EXPECT_EQ(GetSysColor(COLOR_MENU), m_lastCorner);
    ASSERT_TRUE(CPictureMenu::SetDrawMode(CPictureMenu::DRAW_MODE_FLAT));
    PictureSpot(0);
    EXPECT_EQ(CPictureMenu::LightenColor(0.25, GetSysColor(COLOR_BTNFACE)), m_lastCorner);  // the column
    EXPECT_FALSE(CPictureMenu::SetDrawMode(2));
    EXPECT_EQ(CPictureMenu::DRAW_MODE_FLAT, CPictureMenu::GetDrawMode());
}
