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
constexpr int kW = kButtonWidth;
constexpr int kH = kButtonHeight;

const COLORREF kHighlight = GetSysColor(COLOR_BTNHIGHLIGHT);
const COLORREF kShadow = GetSysColor(COLOR_BTNSHADOW);
const COLORREF kDarkShadow = GetSysColor(COLOR_3DDKSHADOW);

void UseTestColors(CHoverButton& button) {
    button.SetColor(CHoverButton::BTN_FACE_REST, kFaceRest);
    button.SetColor(CHoverButton::BTN_FACE_HOT, kFaceHot);
    button.SetColor(CHoverButton::BTN_FACE_FOCUS, kFaceFocus);
    button.SetColor(CHoverButton::BTN_TEXT_REST, kTextRest);
    button.SetColor(CHoverButton::BTN_TEXT_HOT, kTextHot);
}

// Whether the focus rectangle's dotted line crosses row y (between the given columns).
bool RowHasDots(const Surface& surface, int y, int from, int to, COLORREF face) {
    for (int x = from; x <= to; ++x) {
        if (surface.At(x, y) != face) {
            return true;
        }
    }
    return false;
}

}  // namespace

TEST(HoverButtonDraw, FlatButtonShowsItsBorderOnlyWhenLitOrPressed) {
    ButtonHarness h(BS_PUSHBUTTON);
    UseTestColors(h.button);
    Surface rest, focused, lit, pressed, borderless, flatFocus;
    rest.Draw(h.button);
    EXPECT_EQ(kFaceRest, rest.At(0, 0));
    EXPECT_FALSE(IsEmpty(rest.BoxOf(kTextRest)));
    focused.Draw(h.button, ODS_FOCUS);
    EXPECT_EQ(kFaceFocus, focused.At(0, 0));
    EXPECT_FALSE(RowHasDots(focused, 3, 3, kW - 4, kFaceFocus));

    h.button.m_hover = TRUE;
    lit.Draw(h.button);
    EXPECT_EQ(kHighlight, lit.At(0, 0));
    EXPECT_EQ(kShadow, lit.At(kW - 1, kH - 1));
    EXPECT_EQ(kFaceHot, lit.At(1, 1));
    EXPECT_FALSE(IsEmpty(lit.BoxOf(kTextHot)));
    h.button.m_hover = FALSE;

    pressed.Draw(h.button, ODS_SELECTED);
    EXPECT_EQ(kShadow, pressed.At(0, 0));
    EXPECT_EQ(kHighlight, pressed.At(kW - 1, kH - 1));

    h.button.SetDrawBorder(FALSE);
    borderless.Draw(h.button, ODS_SELECTED);
    EXPECT_EQ(kFaceHot, borderless.At(0, 0));

    h.button.SetFlatFocusRect(TRUE);
    flatFocus.Draw(h.button, ODS_FOCUS);
    EXPECT_TRUE(RowHasDots(flatFocus, 3, 3, kW - 4, kFaceFocus));
}

TEST(HoverButtonDraw, ClassicButtonFramesFocusAndDefaultAndShowsPressWithShadowAndShift) {
    ButtonHarness h(BS_PUSHBUTTON);
    UseTestColors(h.button);
    h.button.SetFlatLook(FALSE);
    Surface rest, focused, pressed;
    rest.Draw(h.button);
    EXPECT_EQ(kHighlight, rest.At(0, 0));
    EXPECT_EQ(kDarkShadow, rest.At(kW - 1, kH - 1));
    EXPECT_EQ(kShadow, rest.At(kW - 2, kH - 2));
    EXPECT_EQ(kFaceRest, rest.At(5, 5));

    focused.Draw(h.button, ODS_FOCUS);
    EXPECT_EQ(kBlack, focused.At(0, 0));
    EXPECT_EQ(kBlack, focused.At(kW - 1, kH - 1));
    EXPECT_EQ(kHighlight, focused.At(1, 1));
    EXPECT_EQ(kDarkShadow, focused.At(kW - 2, kH - 2));
    EXPECT_TRUE(RowHasDots(focused, 4, 4, kW - 5, kFaceFocus));
    EXPECT_EQ(rest.BoxOf(kTextRest).left, focused.BoxOf(kTextRest).left);  // caption on the full rectangle

    pressed.Draw(h.button, ODS_SELECTED);
    EXPECT_EQ(kShadow, pressed.At(0, 0));
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
    EXPECT_FALSE(RowHasDots(framed, 4, 4, kW - 5, kFaceRest));
}

TEST(HoverButtonDraw, DisabledCaptionIsEmbossedInTwoColours) {
    ButtonHarness h(BS_PUSHBUTTON);
    UseTestColors(h.button);
    Surface disabled;
    disabled.Draw(h.button, ODS_DISABLED);
    const RECT light = disabled.BoxOf(kHighlight);
    const RECT dark = disabled.BoxOf(kShadow);
    ASSERT_FALSE(IsEmpty(light));
    ASSERT_FALSE(IsEmpty(dark));
    EXPECT_EQ(dark.right + 1, light.right);
    EXPECT_EQ(dark.bottom + 1, light.bottom);
    EXPECT_TRUE(IsEmpty(disabled.BoxOf(kTextRest)));
}

TEST(HoverButtonDraw, ImageIsPlacedByAlignmentCaptionAndPress) {
    struct Case {
        BYTE align;
        LPCWSTR text;
        UINT state;
        POINT at;
    };
    const int centreX = (kW - 16) / 2;
    const int centreY = (kH - 16) / 2;
    const Case cases[] = {
        {CHoverButton::ALIGN_IMAGE_LEFT, L"Go", 0, {3, centreY}},
        {CHoverButton::ALIGN_IMAGE_LEFT, L"", 0, {centreX, centreY}},
        {CHoverButton::ALIGN_IMAGE_LEFT, L"Go", ODS_SELECTED, {4, centreY + 1}},
        {CHoverButton::ALIGN_IMAGE_TOP, L"Go", 0, {centreX, 3}},
        {CHoverButton::ALIGN_IMAGE_RIGHT, L"Go", 0, {kW - 16 - 3, centreY}},
        {CHoverButton::ALIGN_IMAGE_RIGHT, L"", 0, {centreX, 0}},
    };
    for (const Case& c : cases) {
        ButtonHarness h(BS_PUSHBUTTON, c.text);
        ASSERT_EQ(0, h.button.AssignIcons(MakeSolidIcon(kIconColor), nullptr));
        ASSERT_TRUE(h.button.SetImageAlign(c.align));
        Surface surface;
        surface.Draw(h.button, c.state);
        const RECT box = surface.BoxOf(kIconColor);
        EXPECT_EQ(c.at.x, box.left) << "align " << int(c.align) << " text '" << (*c.text ? "Go" : "") << "'";
        EXPECT_EQ(c.at.y, box.top) << "align " << int(c.align);
        EXPECT_EQ(16, box.right - box.left);
    }
}

TEST(HoverButtonDraw, IconPairFollowsTheStateAndADisabledIconIsEmbossed) {
    constexpr COLORREF kIdleColor = RGB(0, 180, 180);
    ButtonHarness h(BS_PUSHBUTTON, L"");
    ASSERT_EQ(0, h.button.AssignIcons(MakeSolidIcon(kIconColor), MakeSolidIcon(kIdleColor)));
    Surface rest, lit, disabled;
    rest.Draw(h.button);
    EXPECT_EQ(kIdleColor, rest.At(kW / 2, kH / 2));
    h.button.m_hover = TRUE;
    lit.Draw(h.button);
    EXPECT_EQ(kIconColor, lit.At(kW / 2, kH / 2));
    disabled.Draw(h.button, ODS_DISABLED);
    EXPECT_TRUE(IsEmpty(disabled.BoxOf(kIconColor)));
    Surface nothing(0, 0);  // a button of no size: nothing to draw, nothing to fail
    nothing.Draw(h.button, ODS_DISABLED | ODS_FOCUS);

    // One handle given twice, or given again while held, is owned once and stays valid.
    HICON icon = MakeSolidIcon(kIconColor);
    ASSERT_EQ(0, h.button.AssignIcons(icon, icon));
    ASSERT_NE(h.button.m_icons[0].icon, h.button.m_icons[1].icon);
    HICON copy = h.button.m_icons[1].icon;
    ASSERT_EQ(0, h.button.AssignIcons(icon, nullptr));
    ICONINFO info = {};
    ASSERT_TRUE(GetIconInfo(icon, &info));
    DeleteObject(info.hbmColor);
    DeleteObject(info.hbmMask);
    EXPECT_FALSE(GetIconInfo(copy, &info));
    ASSERT_EQ(0, h.button.AssignIcons(nullptr, nullptr));
    EXPECT_FALSE(GetIconInfo(icon, &info));
}

TEST(HoverButtonDraw, GreyCopyKeepsSizeMaskAndBlackWhateverTheHotSpot) {
    ButtonHarness h(BS_PUSHBUTTON);
    constexpr int kSide = 8;
    // Hot spots off the centre, as cursors have: the copy still covers the whole picture.
    for (const DWORD hotSpot : {0u, 7u}) {
        HDC screen = GetDC(nullptr);
        CBitmap picture;
        picture.Attach(CreateCompatibleBitmap(screen, kSide, kSide));
        ReleaseDC(nullptr, screen);
        CBitmap mask;
        mask.CreateBitmap(kSide, kSide, 1, 1, nullptr);
        {
            CDC dc;
            dc.CreateCompatibleDC(nullptr);
            const RECT all = {0, 0, kSide, kSide};
            CScopedSelect selectPicture(dc, picture);
            dc.FillSolidRect(&all, RGB(200, 30, 40));
            dc.SetPixel(0, 0, kBlack);
            CScopedSelect selectMask(dc, mask);
            PatBlt(dc, 0, 0, kSide, kSide, BLACKNESS);
            PatBlt(dc, kSide / 2, 0, kSide / 2, kSide, WHITENESS);  // right half transparent
        }
        ICONINFO source = {FALSE, hotSpot, hotSpot, static_cast<HBITMAP>(mask.m_hObject),
                           static_cast<HBITMAP>(picture.m_hObject)};
        HICON icon = CreateIconIndirect(&source);
        ASSERT_EQ(0, h.button.AssignIcons(CopyIcon(icon), nullptr));
        EXPECT_EQ(static_cast<DWORD>(kSide), h.button.m_icons[0].width);  // measured, not 2 x hot spot
        HICON grey = h.button.MakeGreyIcon(icon);
        ASSERT_NE(nullptr, grey);
        ICONINFO info = {};
        ASSERT_TRUE(GetIconInfo(grey, &info));
        CBitmap color, greyMask;
        color.Attach(info.hbmColor);
        greyMask.Attach(info.hbmMask);
        BITMAP size = {};
        GetObjectW(color, sizeof(size), &size);
        EXPECT_EQ(kSide, size.bmWidth);
        EXPECT_EQ(kSide, size.bmHeight);
        CDC dc;
        dc.CreateCompatibleDC(nullptr);
        {
            CScopedSelect select(dc, color);
            EXPECT_EQ(kBlack, dc.GetPixel(0, 0));
            EXPECT_EQ(RGB(81, 81, 81), dc.GetPixel(kSide - 1, kSide - 1)) << "hot spot " << hotSpot;
        }
        CScopedSelect select(dc, greyMask);
        EXPECT_EQ(kBlack, dc.GetPixel(1, 1));
        EXPECT_EQ(RGB(255, 255, 255), dc.GetPixel(kSide - 1, 1));
        DestroyIcon(grey);
        DestroyIcon(icon);
    }

    // A monochrome icon has no colour bitmap to grey: the assignment fails and keeps nothing.
    BYTE andBits[32 * 4] = {};
    BYTE xorBits[32 * 4] = {};
    HICON mono = CreateIcon(nullptr, 32, 32, 1, 1, andBits, xorBits);
    EXPECT_EQ(nullptr, h.button.MakeGreyIcon(mono));
    EXPECT_EQ(1, h.button.AssignIcons(mono, CHoverButton::ICON_AUTO_GREY));
    ICONINFO gone = {};
    EXPECT_FALSE(GetIconInfo(mono, &gone));
    EXPECT_EQ(nullptr, h.button.m_icons[0].icon);
}

TEST(HoverButtonDraw, ShownDropMenuDrawsPressedAndTheMenuGoesWithTheButton) {
    HMENU menu = nullptr;
    {
        ButtonHarness h(BS_PUSHBUTTON);
        ASSERT_TRUE(h.button.m_dropMenu.CreatePopupMenu());
        menu = h.button.m_dropMenu.m_hMenu;
        h.button.m_menuShown = TRUE;
        Surface shown;
        shown.Draw(h.button);
        EXPECT_EQ(kShadow, shown.At(0, 0));
    }
    EXPECT_FALSE(IsMenu(menu));
}
