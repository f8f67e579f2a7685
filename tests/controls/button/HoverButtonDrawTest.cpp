// What the button puts on the pixels: looks and states, captions, images and grey copies.
#include "tests/controls/button/ButtonHarness.h"

namespace {

constexpr COLORREF kFaceRest = RGB(10, 200, 10);
constexpr COLORREF kFaceHot = RGB(250, 200, 0);
constexpr COLORREF kFaceFocus = RGB(120, 120, 250);
constexpr COLORREF kTextRest = RGB(0, 0, 160);
constexpr COLORREF kTextHot = RGB(160, 0, 0);
constexpr COLORREF kIconColor = RGB(200, 0, 200);
constexpr COLORREF kBlack = RGB(0, 0, 0);
const COLORREF kLight = GetSysColor(COLOR_BTNHIGHLIGHT);
const COLORREF kShadow = GetSysColor(COLOR_BTNSHADOW);
const COLORREF kDark = GetSysColor(COLOR_3DDKSHADOW);

void UseTestColors(CHoverButton& button) {
    const COLORREF colors[] = {kFaceHot, kTextHot, kFaceRest, kTextRest, kFaceFocus};
    for (int slot = 0; slot < 5; ++slot) {
        button.SetColor(slot, colors[slot]);
    }
}

// Whether the dotted focus rectangle crosses row y between the columns `inset` and kW-1-inset.
bool HasFocusDots(const Surface& surface, int inset, COLORREF face) {
    for (int x = inset; x < kW - inset; ++x) {
        if (surface.At(x, inset) != face) {
            return true;
        }
    }
    return false;
}

}  // namespace

TEST(HoverButtonDraw, FlatButtonShowsItsBorderOnlyWhenLitOrPressed) {
    ButtonHarness h(BS_PUSHBUTTON);
    UseTestColors(h.button);
    EXPECT_EQ(kFaceRest, Surface().Draw(h.button).At(0, 0));
    EXPECT_FALSE(HasFocusDots(Surface().Draw(h.button, ODS_FOCUS), 3, kFaceFocus));
    h.button.m_hover = TRUE;
    Surface lit;
    lit.Draw(h.button);
    EXPECT_EQ(kLight, lit.At(0, 0));
    EXPECT_EQ(kShadow, lit.At(kW - 1, kH - 1));
    EXPECT_EQ(kFaceHot, lit.At(1, 1));
    EXPECT_FALSE(IsEmpty(lit.BoxOf(kTextHot)));
    h.button.m_hover = FALSE;
    Surface pressed;
    pressed.Draw(h.button, ODS_SELECTED);
    EXPECT_EQ(kShadow, pressed.At(0, 0));
    EXPECT_EQ(kLight, pressed.At(kW - 1, kH - 1));
    h.button.SetDrawBorder(FALSE);
    EXPECT_EQ(kFaceHot, Surface().Draw(h.button, ODS_SELECTED).At(0, 0));
    h.button.SetFlatFocusRect(TRUE);
    EXPECT_TRUE(HasFocusDots(Surface().Draw(h.button, ODS_FOCUS), 3, kFaceFocus));
}

TEST(HoverButtonDraw, ClassicButtonFramesFocusAndDefaultAndShowsPressWithShadowAndShift) {
    ButtonHarness h(BS_PUSHBUTTON);
    UseTestColors(h.button);
    h.button.SetFlatLook(FALSE);
    Surface rest, focused, pressed;
    rest.Draw(h.button);
    EXPECT_EQ(kLight, rest.At(0, 0));
    EXPECT_EQ(kDark, rest.At(kW - 1, kH - 1));
    EXPECT_EQ(kShadow, rest.At(kW - 2, kH - 2));
    focused.Draw(h.button, ODS_FOCUS);
    EXPECT_EQ(kBlack, focused.At(kW - 1, kH - 1));
    EXPECT_EQ(kLight, focused.At(1, 1));
    EXPECT_EQ(kDark, focused.At(kW - 2, kH - 2));
    EXPECT_TRUE(HasFocusDots(focused, 4, kFaceFocus));
    EXPECT_EQ(rest.BoxOf(kTextRest).left, focused.BoxOf(kTextRest).left);  // caption laid out unshrunk
    pressed.Draw(h.button, ODS_SELECTED);
    EXPECT_EQ(kShadow, pressed.At(kW - 1, kH - 1));
    EXPECT_EQ(kFaceHot, pressed.At(1, 1));
    const RECT up = rest.BoxOf(kTextRest);
    const RECT down = pressed.BoxOf(kTextHot);
    ASSERT_FALSE(IsEmpty(up));
    EXPECT_EQ(up.left + 1, down.left);
    EXPECT_EQ(up.top + 1, down.top);

    ButtonHarness byDefault(BS_DEFPUSHBUTTON);
    UseTestColors(byDefault.button);
    byDefault.button.SetFlatLook(FALSE);
    Surface framed;
    framed.Draw(byDefault.button);
    EXPECT_EQ(kBlack, framed.At(0, 0));
    EXPECT_FALSE(HasFocusDots(framed, 4, kFaceRest));

    // Transparent, the parent shows inside the frame and the frame stays on top of it.
    byDefault.button.SetTransparent(TRUE);
    Surface overParent;
    overParent.Draw(byDefault.button);
    EXPECT_EQ(kBlack, overParent.At(0, 0));
    EXPECT_EQ(kBlack, overParent.At(kW - 1, kH - 1));
    EXPECT_EQ(kBlack, overParent.At(kW / 2, 0));
    EXPECT_EQ(kLight, overParent.At(1, 1));
    EXPECT_EQ(kHostColor, overParent.At(kW / 2, kH - 4));
}

// A high-contrast switch changes the system colours at run time; the program's own stay put.
TEST(HoverButtonDraw, ColoursTheProgramLeftFollowASystemColourChange) {
    ButtonHarness h(BS_PUSHBUTTON);
    h.button.SetColor(CHoverButton::BTN_TEXT_REST, kTextRest);
    const int element = COLOR_BTNFACE;
    const COLORREF contrastFace = GetSysColor(COLOR_BTNFACE) == kFaceHot ? kFaceRest : kFaceHot;
    struct SystemFace {
        COLORREF saved = GetSysColor(COLOR_BTNFACE);
        int element = COLOR_BTNFACE;
        ~SystemFace() { SetSysColors(1, &element, &saved); }
    } restoreAtEnd;
    ASSERT_TRUE(SetSysColors(1, &element, &contrastFace));
    ASSERT_EQ(contrastFace, GetSysColor(COLOR_BTNFACE));
    ValidateRect(h.button.m_hWnd, nullptr);
    h.Send(WM_SYSCOLORCHANGE);
    EXPECT_TRUE(GetUpdateRect(h.button.m_hWnd, nullptr, FALSE));
    Surface drawn;
    drawn.Draw(h.button);
    EXPECT_EQ(contrastFace, drawn.At(0, 0));
    EXPECT_FALSE(IsEmpty(drawn.BoxOf(kTextRest)));
    EXPECT_EQ(contrastFace, h.button.GetColor(CHoverButton::BTN_FACE_HOT));
    EXPECT_EQ(kTextRest, h.button.GetColor(CHoverButton::BTN_TEXT_REST));
}

TEST(HoverButtonDraw, DisabledCaptionIsEmbossedInTwoColours) {
    ButtonHarness h(BS_PUSHBUTTON);
    UseTestColors(h.button);
    Surface disabled;
    disabled.Draw(h.button, ODS_DISABLED);
    const RECT light = disabled.BoxOf(kLight);
    const RECT dark = disabled.BoxOf(kShadow);
    ASSERT_FALSE(IsEmpty(light) || IsEmpty(dark));
    EXPECT_EQ(dark.right + 1, light.right);
    EXPECT_EQ(dark.bottom + 1, light.bottom);
    EXPECT_TRUE(IsEmpty(disabled.BoxOf(kTextRest)));
}

TEST(HoverButtonDraw, ImageIsPlacedByAlignmentCaptionAndPress) {
    const int midX = (kW - 16) / 2;
    const int midY = (kH - 16) / 2;
    const struct {
        BYTE align;
        LPCWSTR text;
        UINT state;
        LONG left, top;
    } cases[] = {{CHoverButton::ALIGN_IMAGE_LEFT, L"Go", 0, 3, midY},
                 {CHoverButton::ALIGN_IMAGE_LEFT, L"", 0, midX, midY},
                 {CHoverButton::ALIGN_IMAGE_LEFT, L"Go", ODS_SELECTED, 4, midY + 1},
                 {CHoverButton::ALIGN_IMAGE_TOP, L"Go", 0, midX, 3},
                 {CHoverButton::ALIGN_IMAGE_RIGHT, L"Go", 0, kW - 16 - 3, midY},
                 {CHoverButton::ALIGN_IMAGE_RIGHT, L"", 0, midX, 0}};
    for (const auto& c : cases) {
        ButtonHarness h(BS_PUSHBUTTON, c.text);
        ASSERT_EQ(0, h.button.AssignIcons(MakeSolidIcon(kIconColor), nullptr));
        ASSERT_TRUE(h.button.SetImageAlign(c.align));
        const RECT box = Surface().Draw(h.button, c.state).BoxOf(kIconColor);
        EXPECT_EQ((RECT{c.left, c.top, c.left + 16, c.top + 16}), box) << int(c.align) << " " << c.state;
    }
}

TEST(HoverButtonDraw, IconPairFollowsTheStateAndEachIconIsOwnedOnce) {
    constexpr COLORREF kIdleColor = RGB(0, 180, 180);
    ButtonHarness h(BS_PUSHBUTTON, L"");
    ASSERT_EQ(0, h.button.AssignIcons(MakeSolidIcon(kIconColor), MakeSolidIcon(kIdleColor)));
    EXPECT_EQ(kIdleColor, Surface().Draw(h.button).At(kW / 2, kH / 2));
    EXPECT_EQ(kIconColor, Surface().Draw(h.button, ODS_SELECTED).At(kW / 2, kH / 2));
    EXPECT_TRUE(IsEmpty(Surface().Draw(h.button, ODS_SELECTED | ODS_DISABLED).BoxOf(kIconColor)));
    Surface(0, 0).Draw(h.button, ODS_DISABLED | ODS_FOCUS);  // no room at all: nothing drawn, no failure

    // One handle given twice, or again while held, is owned once and stays valid until released.
    HICON icon = MakeSolidIcon(kIconColor);
    ASSERT_EQ(0, h.button.AssignIcons(icon, icon));
    HICON copy = h.button.m_icons[1].icon;
    ASSERT_NE(icon, copy);
    ASSERT_EQ(0, h.button.AssignIcons(icon, nullptr));
    EXPECT_TRUE(DrawIconEx(Surface().Dc(), 0, 0, icon, 0, 0, 0, nullptr, DI_NORMAL));
    EXPECT_FALSE(DrawIconEx(Surface().Dc(), 0, 0, copy, 0, 0, 0, nullptr, DI_NORMAL));
    ASSERT_EQ(0, h.button.AssignIcons(nullptr, nullptr));
    EXPECT_FALSE(DrawIconEx(Surface().Dc(), 0, 0, icon, 0, 0, 0, nullptr, DI_NORMAL));
    // Without a first icon the second one is not taken over: it stays the caller's.
    HICON second = MakeSolidIcon(kIdleColor);
    ASSERT_EQ(0, h.button.AssignIcons(nullptr, second));
    EXPECT_TRUE(DrawIconEx(Surface().Dc(), 0, 0, second, 0, 0, 0, nullptr, DI_NORMAL));
    DestroyIcon(second);
}

TEST(HoverButtonDraw, GreyCopyCoversThePictureWhateverTheHotSpotAndKeepsBlackAndMask) {
    ButtonHarness h(BS_PUSHBUTTON);
    for (const DWORD hotSpot : {0u, 7u}) {  // off the centre, as a cursor's
        HICON icon = MakeIcon(MakePicture(8, RGB(200, 30, 40), kBlack, {0, 0, 1, 1}), 8, FALSE, hotSpot, 4);
        ASSERT_EQ(0, h.button.AssignIcons(CopyIcon(icon), nullptr));
        EXPECT_EQ(8u, h.button.m_icons[0].width);  // measured, not twice the hot spot
        HICON grey = h.button.MakeGreyIcon(icon);
        ICONINFO info = {};
        ASSERT_TRUE(GetIconInfo(grey, &info));
        CBitmap color, mask;
        color.Attach(info.hbmColor);
        mask.Attach(info.hbmMask);
        BITMAP size = {};
        GetObjectW(color, sizeof(size), &size);
        EXPECT_EQ(8, size.bmWidth);
        EXPECT_EQ(8, size.bmHeight);
        EXPECT_EQ(kBlack, PixelOf(color, 0, 0));
        EXPECT_EQ(RGB(81, 81, 81), PixelOf(color, 7, 7)) << "hot spot " << hotSpot;
        EXPECT_EQ(kBlack, PixelOf(mask, 1, 1));
        EXPECT_EQ(RGB(255, 255, 255), PixelOf(mask, 7, 1));
        DestroyIcon(grey);
        DestroyIcon(icon);
    }
    // A monochrome icon has no colour picture to grey: the assignment fails and keeps nothing.
    BYTE bits[32 * 4] = {};
    HICON mono = CreateIcon(nullptr, 32, 32, 1, 1, bits, bits);
    EXPECT_EQ(nullptr, h.button.MakeGreyIcon(mono));
    EXPECT_EQ(1, h.button.AssignIcons(mono, CHoverButton::ICON_AUTO_GREY));
    EXPECT_FALSE(DrawIconEx(Surface().Dc(), 0, 0, mono, 0, 0, 0, nullptr, DI_NORMAL));
    EXPECT_EQ(nullptr, h.button.m_icons[0].icon);
}

TEST(HoverButtonDraw, ShownDropMenuDrawsPressedAndTheMenuGoesWithTheButton) {
    HMENU menu = nullptr;
    {
        ButtonHarness h(BS_PUSHBUTTON);
        ASSERT_TRUE(h.button.m_dropMenu.CreatePopupMenu());
        menu = h.button.m_dropMenu.m_hMenu;
        h.button.m_menuShown = TRUE;
        EXPECT_EQ(kShadow, Surface().Draw(h.button).At(0, 0));
    }
    EXPECT_FALSE(IsMenu(menu));
}
