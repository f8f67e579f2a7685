// The button's message handling: hover, check-box mode, default flag, focus, clicks, and the
// operations that no window of the program uses yet.
#include "tests/common/ShellCallRecorder.h"
#include "tests/controls/button/ButtonHarness.h"

#include <string>

TEST(HoverButton, FlatButtonLightsUnderThePointerAndEveryLeaveUnlightsIt) {
    ButtonHarness h(BS_PUSHBUTTON);
    ASSERT_EQ(nullptr, GetActiveWindow());
    h.MoveTo(20, 20, MK_LBUTTON);
    EXPECT_FALSE(h.button.m_hover);
    h.MoveTo(20, 20);
    EXPECT_TRUE(h.button.m_hover);
    h.MoveTo(30, 20, MK_LBUTTON);
    EXPECT_TRUE(h.button.m_hover);
    h.MoveTo(-5, 20);  // over the host window
    EXPECT_FALSE(h.button.m_hover);
    const UINT leaving[][2] = {
        {WM_MOUSELEAVE, 0}, {WM_KILLFOCUS, 0}, {WM_ACTIVATE, WA_INACTIVE}, {WM_CANCELMODE, 0}};
    for (const auto& message : leaving) {
        h.MoveTo(20, 20);
        ASSERT_TRUE(h.button.m_hover);
        h.Send(message[0], message[1]);
        EXPECT_FALSE(h.button.m_hover) << "message " << message[0];
    }
    // Without track-inactive only an application with an active window lights the button.
    h.MoveTo(20, 20);
    h.button.SetTrackInactive(FALSE);
    h.MoveTo(21, 20);
    EXPECT_FALSE(h.button.m_hover);
    h.MoveTo(20, 20);
    EXPECT_FALSE(h.button.m_hover);
    h.button.SetTrackInactive(TRUE);
    h.MoveTo(20, 20);
    h.button.SetFlatLook(FALSE);
    EXPECT_FALSE(h.button.m_hover);
    h.MoveTo(20, 20);
    EXPECT_FALSE(h.button.m_hover);
}

TEST(HoverButton, CheckBoxModeFollowsTheStyleBitAndAClickOnlyToggles) {
    for (const DWORD style :
         {BS_CHECKBOX, BS_AUTOCHECKBOX, BS_OWNERDRAW, BS_GROUPBOX, BS_RADIOBUTTON, BS_PUSHBUTTON}) {
        ButtonHarness h(style);
        EXPECT_EQ((style & 2) != 0, h.button.m_checkBoxMode != FALSE) << "style " << style;
        EXPECT_EQ(static_cast<DWORD>(BS_OWNERDRAW), h.button.GetStyle() & BS_TYPEMASK);
    }
    ShellCallRecorder recorder;
    ButtonHarness box(BS_CHECKBOX);
    box.button.SetLinkTarget(L"C:\\never.txt");
    box.Click();
    EXPECT_EQ(1, box.Send(BM_GETCHECK));
    box.Click();
    EXPECT_EQ(0, box.Send(BM_GETCHECK));
    EXPECT_EQ(2, box.host.m_clicks);
    EXPECT_TRUE(recorder.Calls().empty());
    box.Send(BM_SETCHECK, BST_INDETERMINATE);
    EXPECT_EQ(1, box.Send(BM_GETCHECK));
    box.Send(BM_SETCHECK, 7);
    EXPECT_EQ(0, box.Send(BM_GETCHECK));

    ButtonHarness push(BS_PUSHBUTTON);
    push.Send(BM_SETCHECK, BST_CHECKED);
    EXPECT_EQ(0, push.Send(BM_GETCHECK));
}

TEST(HoverButton, DefaultFlagFollowsTemplateAndSetStyleWhileTheTypeStaysOwnerDraw) {
    ButtonHarness h(BS_DEFPUSHBUTTON);
    EXPECT_TRUE(h.button.m_defaultButton);
    EXPECT_NE(0, h.Send(WM_GETDLGCODE) & DLGC_DEFPUSHBUTTON);
    const std::pair<WPARAM, BOOL> steps[] = {
        {BS_PUSHBUTTON, FALSE}, {BS_DEFPUSHBUTTON, TRUE}, {BS_CHECKBOX, TRUE}, {BS_PUSHBUTTON, FALSE}};
    for (const auto& [style, isDefault] : steps) {
        h.Send(BM_SETSTYLE, style, TRUE);
        EXPECT_EQ(isDefault, h.button.m_defaultButton) << "style " << style;
        EXPECT_EQ(static_cast<DWORD>(BS_OWNERDRAW), h.button.GetStyle() & BS_TYPEMASK);
    }
    EXPECT_EQ(DLGC_UNDEFPUSHBUTTON, h.Send(WM_GETDLGCODE) & (DLGC_DEFPUSHBUTTON | DLGC_UNDEFPUSHBUTTON));
}

TEST(HoverButton, DisablingMovesTheFocusToTheNextTabStopOrElseToTheParent) {
    {
        ButtonHarness h(BS_PUSHBUTTON, L"Go", true);
        SetFocus(h.host.m_hWnd);  // the button need not have had the focus
        h.button.EnableWindow(FALSE);
        EXPECT_EQ(FindWindowExW(h.host.m_hWnd, nullptr, L"BUTTON", L"Next"), GetFocus());
    }
    ButtonHarness h(BS_PUSHBUTTON);
    h.button.SetFocus();
    h.MoveTo(20, 20);
    h.button.EnableWindow(FALSE);
    EXPECT_EQ(h.host.m_hWnd, GetFocus());
    EXPECT_FALSE(h.button.m_hover);
}

TEST(HoverButton, DoubleClickGivesTwoClicksAndAClickOpensTheLinkTarget) {
    ShellCallRecorder recorder;
    ButtonHarness h(BS_PUSHBUTTON);
    h.Click();
    h.Click(WM_LBUTTONDBLCLK);
    EXPECT_EQ(2, h.host.m_clicks);
    EXPECT_EQ(h.button.m_hWnd, GetFocus());
    EXPECT_TRUE(recorder.Calls().empty());

    const std::wstring target = L"https://example.com/页面";
    ASSERT_TRUE(h.button.SetLinkTarget(target.c_str()));
    EXPECT_FALSE(h.button.SetLinkTarget(std::wstring(MAX_PATH, L'x').c_str()));  // refused, not cut short
    h.Click();
    ASSERT_EQ(1u, recorder.Calls().size());
    EXPECT_EQ(L"open", recorder.Calls()[0].verb);
    EXPECT_EQ(target, recorder.Calls()[0].file);
    EXPECT_EQ(SW_SHOWMAXIMIZED, recorder.Calls()[0].show);
    EXPECT_EQ(nullptr, recorder.Calls()[0].owner);
    EXPECT_EQ(3, h.host.m_clicks);
}

TEST(HoverButton, OperationsForColoursCursorTipTransparencyAndBitmaps) {
    ButtonHarness h(BS_PUSHBUTTON, L"", false, false);
    EXPECT_FALSE(h.button.SetColor(CHoverButton::BTN_COLOR_COUNT, 0) || h.button.SetImageAlign(3));

    // The cursor is owned: shown over the button, destroyed when replaced (and with the button).
    HCURSOR first = CopyCursor(LoadCursorW(nullptr, IDC_HAND));
    h.button.SetButtonCursor(first);
    EXPECT_TRUE(h.Send(WM_SETCURSOR, reinterpret_cast<WPARAM>(h.button.m_hWnd), HTCLIENT));
    EXPECT_EQ(first, GetCursor());
    h.button.SetButtonCursor(CopyCursor(LoadCursorW(nullptr, IDC_HAND)));
    EXPECT_FALSE(DrawIconEx(Surface().Dc(), 0, 0, first, 0, 0, 0, nullptr, DI_NORMAL));

    // The tip window comes with the first message through the button; a text registers it once.
    MSG msg = {h.button.m_hWnd, WM_MOUSEMOVE, 0, 0, 0, {0, 0}};
    EXPECT_FALSE(h.button.PreTranslateMessage(&msg));
    ASSERT_NE(nullptr, h.button.m_tipCtrl.m_hWnd);
    EXPECT_TRUE(h.button.SetTooltipText(L"打开"));
    EXPECT_TRUE(h.button.SetTooltipText(L"关闭隐藏目录"));
    EXPECT_EQ(1, h.button.m_tipCtrl.GetToolCount());

    // A transparent face shows the parent's pixels under the (hidden) button.
    h.button.SetTransparent(TRUE);
    EXPECT_EQ(kHostColor, Surface().Draw(h.button).At(kW / 2, kH / 2));
    h.button.SetTransparent(FALSE);

    // A bitmap pair: the key colour lets the face through; a disabled bitmap is embossed unless
    // grey-disabled drawing is off. The same handle twice is kept as two bitmaps.
    constexpr COLORREF kKey = RGB(255, 0, 255);
    constexpr COLORREF kBlue = RGB(0, 0, 255);
    h.button.SetColor(CHoverButton::BTN_FACE_REST, RGB(9, 9, 9));
    HBITMAP picture = MakePicture(20, kKey, kBlue, {5, 5, 15, 15});
    ASSERT_EQ(0, h.button.AssignBitmaps(picture, picture, kKey));
    EXPECT_NE(h.button.m_bitmaps[0].bitmap, h.button.m_bitmaps[1].bitmap);
    Surface normal;
    normal.Draw(h.button);
    EXPECT_EQ(kBlue, normal.At(kW / 2, kH / 2));
    EXPECT_EQ(RGB(9, 9, 9), normal.At(kW / 2 - 8, kH / 2 - 8));
    EXPECT_TRUE(IsEmpty(Surface().Draw(h.button, ODS_DISABLED).BoxOf(kBlue)));
    h.button.SetGreyDisabledBitmap(FALSE);
    EXPECT_EQ(kBlue, Surface().Draw(h.button, ODS_DISABLED).At(kW / 2, kH / 2));
}
