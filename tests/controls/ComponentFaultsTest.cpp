// Faults the owner-drawn components hid while no window of the program met them, and what screen
// readers read from the menu and the button.
#include "controls/button/GreyIcon.h"
#include "controls/button/IconBitmaps.h"
#include "framework/Icon.h"
#include "tests/controls/button/ButtonHarness.h"
#include "tests/controls/menu/MenuTemplateBuilder.h"

#include <string>
#include <utility>
#include <vector>

namespace {

constexpr COLORREF kRightStripe = RGB(0, 0, 200);
COLORREF g_leftStripe = RGB(200, 0, 0);

// A parent that paints two stripes meeting at x = 50, and only when it is asked to print itself.
LRESULT CALLBACK PrintingParentProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message != WM_PRINTCLIENT) {
        return DefWindowProcW(window, message, wParam, lParam);
    }
    CDC* dc = CDC::FromHandle(reinterpret_cast<HDC>(wParam));
    const RECT left = {0, 0, 50, 200};
    const RECT right = {50, 0, 300, 200};
    dc->FillSolidRect(&left, g_leftStripe);
    dc->FillSolidRect(&right, kRightStripe);
    return 0;
}

// The screen-reader header at the start of an item's data, read as a reader reads it.
std::wstring AccessibleText(HMENU menu, int position) {
    const auto* header = reinterpret_cast<const MSAAMENUINFO*>(MenuItemAt(menu, position).dwItemData);
    if (header == nullptr || header->dwMSAASignature != static_cast<DWORD>(MSAA_MENU_SIG)) {
        return L"<no header>";
    }
    return std::wstring(header->pszWText != nullptr ? header->pszWText : L"", header->cchWText);
}

}  // namespace

TEST(ComponentFaults, ItemPutIntoTheMenuBehindItsBackIsPaintedEmptyInBothLooks) {
    const int drawMode = CPictureMenu::GetDrawMode();
    CPictureMenu menu;
    ASSERT_TRUE(menu.CMenu::CreatePopupMenu());
    CPictureMenuItem stranger;  // looks like a record, but is none of the menu's
    stranger.SetText(L"Stranger");
    stranger.m_flags = MF_SEPARATOR;
    AppendMenuW(menu, MF_OWNERDRAW, 7, reinterpret_cast<LPCWSTR>(&stranger));
    for (const int mode : {0, 1}) {
        CPictureMenu::SetDrawMode(mode);
        for (const UINT state : {0u, UINT{ODS_SELECTED}}) {
            Surface foreign(200, 22);
            Surface empty(200, 22);
            DRAWITEMSTRUCT item = {ODT_MENU,   0,
                                   7,          ODA_DRAWENTIRE,
                                   state,      reinterpret_cast<HWND>(menu.m_hMenu),
                                   empty.Dc(), {0, 0, 200, 22},
                                   0};
            mode == 0 ? menu.DrawItemClassic(&item) : menu.DrawItemFlat(&item);
            item.hDC = foreign.Dc();
            item.itemData = reinterpret_cast<ULONG_PTR>(&stranger);
            menu.DrawItem(&item);
            int differing = 0;
            for (int x = 0; x < 200; ++x) {
                differing += foreign.At(x, 11) != empty.At(x, 11) ? 1 : 0;
            }
            EXPECT_EQ(0, differing) << "look " << mode << " state " << state;
        }
    }
    CPictureMenu::SetDrawMode(drawMode);
}

TEST(ComponentFaults, GreyCopyOfAnAlphaIconKeepsEveryPixelsAlpha) {
    BITMAPINFO format = {{sizeof(BITMAPINFOHEADER), 16, -16, 1, 32, BI_RGB, 0, 0, 0, 0, 0}, {}};
    void* bits = nullptr;
    CBitmap color;
    CBitmap mask;
    color.Attach(CreateDIBSection(nullptr, &format, DIB_RGB_COLORS, &bits, nullptr, 0));
    mask.CreateBitmap(16, 16, 1, 1, nullptr);
    for (int i = 0; i < 256; ++i) {
        static_cast<RGBQUAD*>(bits)[i] = {40, 30, 200, static_cast<BYTE>(i)};  // alpha i
    }
    ICONINFO info = {TRUE, 0, 0, mask, color};
    const CIcon grey(CreateGreyIcon(CIcon(CreateIconIndirect(&info))));
    const CIconBitmaps greyBitmaps(grey);
    std::vector<RGBQUAD> pixels(256);
    CDC dc;
    dc.CreateCompatibleDC(nullptr);
    ASSERT_EQ(16, GetDIBits(dc, greyBitmaps.Color(), 0, 16, pixels.data(), &format, DIB_RGB_COLORS));
    const BYTE level = GreyLevel(200, 30, 40);
    int wrong = 0;
    for (int i = 0; i < 256; ++i) {
        const RGBQUAD& p = pixels[i];
        wrong += p.rgbReserved != i || p.rgbRed != level || p.rgbGreen != level || p.rgbBlue != level ? 1 : 0;
    }
    EXPECT_EQ(0, wrong);
}

// On screen the button's place shows the button's own face; the parent's stripes meet 20 pixels
// into it.
TEST(ComponentFaults, TransparentFaceIsPrintedByTheParentAndRetakenAfterAColourChangeOrAMove) {
    const HINSTANCE instance = GetModuleHandleW(nullptr);
    WNDCLASSW windowClass = {0,       PrintingParentProc, 0, 0, instance, nullptr, nullptr, nullptr,
                             nullptr, L"CfParent"};
    RegisterClassW(&windowClass);
    HWND parent = CreateWindowExW(WS_EX_NOACTIVATE, L"CfParent", L"", WS_POPUP, 100, 100, 300, 200, nullptr,
                                  nullptr, instance, nullptr);
    ShowWindow(parent, SW_SHOWNA);
    CProbeButton button;
    button.SubclassWindow(CreateWindowExW(0, L"BUTTON", L"", WS_CHILD | WS_VISIBLE, 30, 10, kW, kH, parent,
                                          nullptr, instance, nullptr));
    RedrawWindow(parent, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    button.SetTransparent(TRUE);
    const auto around = [&](int edge) {
        Surface drawn;
        drawn.Draw(button);
        return std::pair(drawn.At(edge - 1, kH / 2), drawn.At(edge, kH / 2));
    };
    EXPECT_EQ(std::pair(RGB(200, 0, 0), kRightStripe), around(20));

    g_leftStripe = RGB(200, 200, 0);
    ValidateRect(button.m_hWnd, nullptr);
    SendMessageW(button.m_hWnd, WM_SYSCOLORCHANGE, 0, 0);
    EXPECT_TRUE(GetUpdateRect(button.m_hWnd, nullptr, FALSE));
    EXPECT_EQ(std::pair(RGB(200, 200, 0), kRightStripe), around(20));
    SetWindowPos(button.m_hWnd, nullptr, 20, 10, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    EXPECT_EQ(std::pair(RGB(200, 200, 0), kRightStripe), around(30));
    button.DestroyWindow();
    DestroyWindow(parent);
}

TEST(ComponentFaults, TeardownDeletesOnlyTheSubMenusTheMenuOwnsAndLeavesOthersWhole) {
    CPictureMenu member;
    ASSERT_TRUE(member.CMenu::CreatePopupMenu());
    ASSERT_TRUE(member.AppendItem(L"&Kept", 0, 5));
    auto made = std::make_unique<CPictureMenu>();
    ASSERT_TRUE(made->CMenu::CreatePopupMenu());
    const HMENU madeMenu = made->m_hMenu;
    {
        CPictureMenu root;
        ASSERT_TRUE(root.CMenu::CreatePopupMenu());
        ASSERT_TRUE(root.AppendSubMenu(L"&Made", 0, std::move(made)));
        ASSERT_TRUE(root.AppendItem(L"&Member", MF_POPUP, reinterpret_cast<UINT_PTR>(member.m_hMenu)));
    }
    EXPECT_FALSE(IsMenu(madeMenu));
    EXPECT_EQ(nullptr, CMenu::FromHandlePermanent(madeMenu));
    EXPECT_EQ(&member, CMenu::FromHandlePermanent(member.m_hMenu));
    EXPECT_EQ(1, GetMenuItemCount(member.m_hMenu));
}

TEST(ComponentAccessibility, MenuItemDataStartsWithTheScreenReaderHeaderInStepWithTheText) {
    CPictureMenu menu;
    const std::vector<BYTE> bytes = MenuTemplateBuilder()
                                        .Popup(L"&File", MF_END)
                                        .Item(L"&Open\tCtrl+O", 100)
                                        .Item(L"E&xit", 101, MF_END)
                                        .bytes;
    ASSERT_TRUE(menu.LoadMenuTemplate(bytes.data(), bytes.size()));
    auto* file = DYNAMIC_DOWNCAST(CPictureMenu, CMenu::FromHandlePermanent(GetSubMenu(menu, 0)));
    ASSERT_NE(nullptr, file);
    // The shortcut is padded after the record is made: the header follows the text.
    EXPECT_EQ(std::wstring(file->m_items[0]->GetText()), AccessibleText(*file, 0));
    EXPECT_EQ(0u, AccessibleText(*file, 0).find(L"&Open \t"));
    // Items changed and added behind the menu's back are re-read with their headers.
    ModifyMenuW(*file, 1, MF_BYPOSITION | MF_STRING, 101, L"&Quit");
    AppendMenuW(*file, MF_STRING, 102, L"&Help");
    file->SyncItems();
    EXPECT_EQ(L"&Quit", AccessibleText(*file, 1));
    EXPECT_EQ(L"&Help", AccessibleText(*file, 2));
}

// Readers ask BM_GETSTATE, where the system has no check state of an owner-drawn button to give.
TEST(ComponentFaults, HoveredFlatCheckBoxShowsItsIdleIconUntilCheckedAndTellsReadersItsState) {
    constexpr COLORREF kNormal = RGB(200, 0, 200);
    constexpr COLORREF kIdle = RGB(0, 180, 180);
    ButtonHarness box(BS_AUTOCHECKBOX, L"");
    ASSERT_EQ(0, box.button.AssignIcons(MakeSolidIcon(kNormal), MakeSolidIcon(kIdle)));
    box.MoveTo(20, 20);
    ASSERT_TRUE(box.button.m_hover);
    EXPECT_EQ(kIdle, Surface().Draw(box.button).At(kW / 2, kH / 2));
    box.Click();
    EXPECT_EQ(BST_CHECKED, box.Send(BM_GETCHECK));
    EXPECT_EQ(BST_CHECKED, box.Send(BM_GETSTATE) & (BST_CHECKED | BST_INDETERMINATE));
    EXPECT_EQ(kNormal, Surface().Draw(box.button).At(kW / 2, kH / 2));
    box.Click();
    EXPECT_EQ(0, box.Send(BM_GETSTATE) & (BST_CHECKED | BST_INDETERMINATE));
}
