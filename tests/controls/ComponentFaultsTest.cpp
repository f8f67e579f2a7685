// Faults the owner-drawn components hid while no window of the program met them: foreign menu
// data, alpha in grey copies, the transparent face's background, colour changes, sub-menu
// ownership; and what screen readers read from the menu and the button.
#include "controls/button/GreyIcon.h"
#include "tests/controls/button/ButtonHarness.h"
#include "tests/controls/menu/MenuTemplateBuilder.h"

#include <string>
#include <vector>

namespace {

constexpr COLORREF kUntouched = RGB(1, 2, 3);
constexpr COLORREF kLeftStripe = RGB(200, 0, 0);
constexpr COLORREF kRightStripe = RGB(0, 0, 200);
constexpr int kStripeEdge = 50;  // in the painted parent's client area

// What the painted parent shows: two stripes, or nothing at all when it is asked to paint nothing.
COLORREF g_leftStripe = kLeftStripe;
bool g_parentPaints = true;

void PaintStripes(HWND window, HDC dc) {
    RECT client = {};
    GetClientRect(window, &client);
    const RECT left = {0, 0, kStripeEdge, client.bottom};
    const RECT right = {kStripeEdge, 0, client.right, client.bottom};
    CDC* target = CDC::FromHandle(dc);
    target->FillSolidRect(&left, g_leftStripe);
    target->FillSolidRect(&right, kRightStripe);
}

// A parent that paints only in WM_PAINT and WM_PRINTCLIENT and erases nothing.
LRESULT CALLBACK PaintedParentProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_ERASEBKGND:
            return 1;
        case WM_PRINTCLIENT:
            if (g_parentPaints) {
                PaintStripes(window, reinterpret_cast<HDC>(wParam));
            }
            return 0;
        case WM_PAINT: {
            PAINTSTRUCT paint = {};
            BeginPaint(window, &paint);
            if (g_parentPaints) {
                PaintStripes(window, paint.hdc);
            }
            EndPaint(window, &paint);
            return 0;
        }
        default:
            return DefWindowProcW(window, message, wParam, lParam);
    }
}

HWND MakePaintedParent() {
    const HINSTANCE instance = GetModuleHandleW(nullptr);
    WNDCLASSW windowClass = {0,       PaintedParentProc, 0,       0,       instance,
                             nullptr, nullptr,           nullptr, nullptr, L"CfParent"};
    RegisterClassW(&windowClass);  // already registered by an earlier case: the same class
    HWND window = CreateWindowExW(WS_EX_TOPMOST | WS_EX_NOACTIVATE, L"CfParent", L"", WS_POPUP, 100, 100, 300,
                                  200, nullptr, nullptr, instance, nullptr);
    ShowWindow(window, SW_SHOWNA);
    return window;
}

// A 16 x 16 icon of RGB(200, 30, 40) whose pixel i has alpha i, with an all-opaque mask.
HICON MakeAlphaIcon() {
    BITMAPINFO format = {{sizeof(BITMAPINFOHEADER), 16, -16, 1, 32, BI_RGB, 0, 0, 0, 0, 0}, {}};
    void* bits = nullptr;
    CBitmap color;
    color.Attach(CreateDIBSection(nullptr, &format, DIB_RGB_COLORS, &bits, nullptr, 0));
    auto* pixels = static_cast<RGBQUAD*>(bits);
    for (int i = 0; i < 256; ++i) {
        pixels[i] = {40, 30, 200, static_cast<BYTE>(i)};
    }
    CBitmap mask;
    mask.CreateBitmap(16, 16, 1, 1, nullptr);
    ICONINFO info = {TRUE, 0, 0, static_cast<HBITMAP>(mask.m_hObject), static_cast<HBITMAP>(color.m_hObject)};
    return CreateIconIndirect(&info);
}

std::vector<RGBQUAD> ColorPixelsOf(HICON icon) {
    ICONINFO info = {};
    GetIconInfo(icon, &info);
    CBitmap color;
    CBitmap mask;
    color.Attach(info.hbmColor);
    mask.Attach(info.hbmMask);
    BITMAPINFO format = {{sizeof(BITMAPINFOHEADER), 16, -16, 1, 32, BI_RGB, 0, 0, 0, 0, 0}, {}};
    std::vector<RGBQUAD> pixels(256);
    CDC dc;
    dc.CreateCompatibleDC(nullptr);
    GetDIBits(dc, color, 0, 16, pixels.data(), &format, DIB_RGB_COLORS);
    return pixels;
}

// The screen-reader header at the start of an item's data, read as a reader reads it.
std::wstring AccessibleText(HMENU menu, int position) {
    const auto* header = reinterpret_cast<const MSAAMENUINFO*>(MenuItemAt(menu, position).dwItemData);
    if (header == nullptr || header->dwMSAASignature != static_cast<DWORD>(MSAA_MENU_SIG)) {
        return L"<no header>";
    }
    return header->pszWText != nullptr ? std::wstring(header->pszWText, header->cchWText) : std::wstring();
}

}  // namespace

TEST(ComponentFaults, ForeignMenuDataIsPaintedAsAnEmptyItemInBothLooks) {
    const int drawMode = CPictureMenu::s_drawMode;
    CPictureMenu menu;
    ASSERT_TRUE(menu.CMenu::CreatePopupMenu());
    CPictureMenuItem stranger;  // looks like a record, but is none of the menu's
    stranger.SetText(L"Stranger\tCtrl+S");
    stranger.m_flags = MF_SEPARATOR;
    const auto strangerData = reinterpret_cast<ULONG_PTR>(&stranger);
    AppendMenuW(menu.m_hMenu, MF_OWNERDRAW, 7, reinterpret_cast<LPCWSTR>(strangerData));  // behind its back
    for (const int mode : {0, 1}) {
        CPictureMenu::s_drawMode = mode;
        for (const UINT state : {0u, UINT{ODS_SELECTED}}) {
            Surface foreign(200, 22);
            Surface empty(200, 22);
            const RECT all = {0, 0, 200, 22};
            CDC::FromHandle(foreign.Dc())->FillSolidRect(&all, kUntouched);
            DRAWITEMSTRUCT item = {ODT_MENU,     0,   7,           ODA_DRAWENTIRE, state, nullptr,
                                   foreign.Dc(), all, strangerData};
            menu.DrawItem(&item);
            item.hDC = empty.Dc();
            item.itemData = 0;
            mode == 0 ? menu.DrawItemClassic(&item) : menu.DrawItemFlat(&item);
            EXPECT_TRUE(IsEmpty(foreign.BoxOf(kUntouched))) << "look " << mode << " state " << state;
            for (int x = 0; x < 200; x += 7) {
                ASSERT_EQ(empty.At(x, 11), foreign.At(x, 11))
                    << "look " << mode << " state " << state << " x " << x;
            }
        }
    }
    CPictureMenu::s_drawMode = drawMode;
}

TEST(ComponentFaults, GreyCopyOfAnAlphaIconKeepsEveryPixelsAlpha) {
    HICON icon = MakeAlphaIcon();
    HICON grey = CreateGreyIcon(icon);
    ASSERT_NE(nullptr, grey);
    const std::vector<RGBQUAD> source = ColorPixelsOf(icon);
    const std::vector<RGBQUAD> copy = ColorPixelsOf(grey);
    const BYTE level = GreyLevel(200, 30, 40);
    int alphaLost = 0;
    int notGrey = 0;
    for (int i = 0; i < 256; ++i) {
        ASSERT_EQ(i, source[i].rgbReserved) << "the platform lost the source's alpha at " << i;
        alphaLost += copy[i].rgbReserved != source[i].rgbReserved ? 1 : 0;
        notGrey += copy[i].rgbRed != level || copy[i].rgbGreen != level || copy[i].rgbBlue != level ? 1 : 0;
    }
    EXPECT_EQ(0, alphaLost);
    EXPECT_EQ(0, notGrey);
    DestroyIcon(grey);
    DestroyIcon(icon);
}

// The parent's stripes meet 20 pixels into the button; on screen, the button's place shows the
// button's own face.
TEST(ComponentFaults, TransparentFaceShowsTheParentsOwnPaintingAndAColourChangeRetakesIt) {
    g_leftStripe = kLeftStripe;
    g_parentPaints = true;
    HWND parent = MakePaintedParent();
    CProbeButton button;
    button.SubclassWindow(CreateWindowExW(0, L"BUTTON", L"", WS_CHILD | WS_VISIBLE, kStripeEdge - 20, 10, kW,
                                          kH, parent, reinterpret_cast<HMENU>(kButtonId), nullptr, nullptr));
    RedrawWindow(parent, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    button.SetTransparent(TRUE);
    const auto expectStripes = [&](COLORREF left, int edge, const char* when) {
        Surface drawn;
        drawn.Draw(button);
        EXPECT_EQ(left, drawn.At(edge - 1, kH / 2)) << when;
        EXPECT_EQ(kRightStripe, drawn.At(edge, kH / 2)) << when;
        EXPECT_EQ(kRightStripe, drawn.At(kW - 1, kH - 1)) << when;
    };
    expectStripes(kLeftStripe, 20, "first paint");

    // Kept while nothing says the parent changed; a colour change drops it and asks for a paint.
    g_leftStripe = RGB(200, 200, 0);
    expectStripes(kLeftStripe, 20, "parent changed unannounced");
    ValidateRect(button.m_hWnd, nullptr);
    SendMessageW(button.m_hWnd, WM_SYSCOLORCHANGE, 0, 0);
    EXPECT_TRUE(GetUpdateRect(button.m_hWnd, nullptr, FALSE));
    expectStripes(RGB(200, 200, 0), 20, "after a colour change");

    // A moved button shows what lies under its new place.
    SetWindowPos(button.m_hWnd, nullptr, kStripeEdge - 30, 10, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    expectStripes(RGB(200, 200, 0), 30, "after a move");

    // A parent that neither erases nor prints leaves its class background, or the dialog colour.
    g_parentPaints = false;
    SendMessageW(button.m_hWnd, WM_SYSCOLORCHANGE, 0, 0);
    EXPECT_EQ(GetSysColor(COLOR_BTNFACE), Surface().Draw(button).At(kW / 2, kH / 2));
    button.DestroyWindow();
    DestroyWindow(parent);
}

TEST(ComponentFaults, TeardownDeletesOnlyTheSubMenusTheMenuOwnsAndLeavesOthersWhole) {
    CPictureMenu member;
    ASSERT_TRUE(member.CMenu::CreatePopupMenu());
    ASSERT_TRUE(member.AppendItem(L"&Kept", 0, 5));
    HMENU madeMenu = nullptr;
    {
        CPictureMenu root;
        ASSERT_TRUE(root.CMenu::CreatePopupMenu());
        auto made = std::make_unique<CPictureMenu>();
        ASSERT_TRUE(made->CMenu::CreatePopupMenu());
        madeMenu = made->m_hMenu;
        ASSERT_TRUE(root.AppendSubMenu(L"&Made", 0, std::move(made)));
        ASSERT_TRUE(root.AppendItem(L"&Member", MF_POPUP, reinterpret_cast<UINT_PTR>(member.m_hMenu)));
        EXPECT_TRUE(CPictureMenu::IsOwnedSubMenu(&member));
        EXPECT_TRUE(root.DestroyMenu());
    }
    EXPECT_FALSE(IsMenu(madeMenu));
    EXPECT_EQ(nullptr, CMenu::FromHandlePermanent(madeMenu));
    EXPECT_TRUE(IsMenu(member.m_hMenu));
    EXPECT_EQ(&member, CMenu::FromHandlePermanent(member.m_hMenu));
    EXPECT_EQ(1, GetMenuItemCount(member.m_hMenu));
    EXPECT_STREQ(L"&Kept", member.m_items[0]->GetText());
    EXPECT_FALSE(CPictureMenu::IsOwnedSubMenu(&member));
}

TEST(ComponentAccessibility, MenuItemDataStartsWithTheScreenReaderHeaderInStepWithTheText) {
    CPictureMenu menu;
    const std::vector<BYTE> bytes = MenuTemplateBuilder()
                                        .Popup(L"&File", MF_END)
                                        .Item(L"&Open\tCtrl+O", 100)
                                        .Item(L"", 0)
                                        .Item(L"E&xit", 101, MF_END)
                                        .bytes;
    ASSERT_TRUE(menu.LoadMenuTemplate(bytes.data(), bytes.size()));
    auto* file = DYNAMIC_DOWNCAST(CPictureMenu, CMenu::FromHandlePermanent(GetSubMenu(menu.m_hMenu, 0)));
    ASSERT_NE(nullptr, file);
    for (int i = 0; i < 3; ++i) {
        // The shortcut was padded after the record was made: the header follows the text.
        EXPECT_EQ(std::wstring(file->m_items[i]->GetText()), AccessibleText(file->m_hMenu, i)) << i;
    }
    EXPECT_NE(std::wstring::npos, AccessibleText(file->m_hMenu, 0).find(L"&Open "));

    // Items changed and added behind the menu's back are re-read with their headers.
    ModifyMenuW(file->m_hMenu, 2, MF_BYPOSITION | MF_STRING, 101, L"&Quit");
    AppendMenuW(file->m_hMenu, MF_STRING, 102, L"&Help");
    file->SyncItems();
    EXPECT_EQ(L"&Quit", AccessibleText(file->m_hMenu, 2));
    EXPECT_EQ(L"&Help", AccessibleText(file->m_hMenu, 3));
}

TEST(ComponentAccessibility, CheckBoxButtonReportsItsCaptionAndCheckedState) {
    ButtonHarness box(BS_AUTOCHECKBOX, L"打开隐藏目录");
    wchar_t caption[32] = {};
    GetWindowTextW(box.button.m_hWnd, caption, 32);
    EXPECT_STREQ(L"打开隐藏目录", caption);
    box.Click();
    EXPECT_EQ(BST_CHECKED, box.Send(BM_GETCHECK));
    EXPECT_EQ(BST_CHECKED, box.Send(BM_GETSTATE) & BST_CHECKED);
    box.Click();
    EXPECT_EQ(BST_UNCHECKED, box.Send(BM_GETCHECK));
    EXPECT_EQ(0, box.Send(BM_GETSTATE) & (BST_CHECKED | BST_INDETERMINATE));
    ButtonHarness push(BS_PUSHBUTTON);
    push.Send(BM_SETCHECK, BST_CHECKED);
    EXPECT_EQ(0, push.Send(BM_GETSTATE) & BST_CHECKED);
}

TEST(ComponentFaults, HoveredUncheckedFlatCheckBoxShowsItsIdleIcon) {
    constexpr COLORREF kNormal = RGB(200, 0, 200);
    constexpr COLORREF kIdle = RGB(0, 180, 180);
    ButtonHarness box(BS_AUTOCHECKBOX, L"");
    ASSERT_EQ(0, box.button.AssignIcons(MakeSolidIcon(kNormal), MakeSolidIcon(kIdle)));
    box.MoveTo(20, 20);
    ASSERT_TRUE(box.button.m_hover);
    EXPECT_EQ(kIdle, Surface().Draw(box.button).At(kW / 2, kH / 2));
    box.Send(BM_SETCHECK, BST_CHECKED);
    EXPECT_EQ(kNormal, Surface().Draw(box.button).At(kW / 2, kH / 2));
}
