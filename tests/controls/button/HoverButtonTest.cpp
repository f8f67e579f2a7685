// The button's message handling: hover, check-box mode, default flag, focus, clicks, and the
// operations that no window of the program uses yet.
#include "tests/controls/button/ButtonHarness.h"

#include <string>
#include <vector>

namespace {

// Records what ShellExecuteExW would have opened, for the life of the object.
class ShellExecuteExRecorder {
public:
    ShellExecuteExRecorder() : m_saved(AfxGetShellCalls()) {
        Calls().clear();
        AfxGetShellCalls().shellExecuteEx = &Record;
    }
    ~ShellExecuteExRecorder() { AfxGetShellCalls() = m_saved; }
    ShellExecuteExRecorder(const ShellExecuteExRecorder&) = delete;
    ShellExecuteExRecorder& operator=(const ShellExecuteExRecorder&) = delete;

    struct Call {
        SHELLEXECUTEINFOW info;
        std::wstring verb;
        std::wstring file;
    };
    static std::vector<Call>& Calls() {
        static std::vector<Call> calls;
        return calls;
    }

private:
    static BOOL WINAPI Record(SHELLEXECUTEINFOW* info) {
        Calls().push_back({*info, info->lpVerb ? info->lpVerb : L"", info->lpFile ? info->lpFile : L""});
        return TRUE;
    }
    AfxShellCalls m_saved;
};

LRESULT Send(CWnd& wnd, UINT message, WPARAM wParam = 0, LPARAM lParam = 0) {
    return SendMessageW(wnd.m_hWnd, message, wParam, lParam);
}

}  // namespace

TEST(HoverButton, FlatButtonLightsUnderThePointerAndEveryLeaveUnlightsIt) {
    ButtonHarness h(BS_PUSHBUTTON);
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
        Send(h.button, message[0], message[1]);
        EXPECT_FALSE(h.button.m_hover) << "message " << message[0];
    }
    h.MoveTo(20, 20);
    Send(h.button, WM_ACTIVATE, WA_ACTIVE);
    EXPECT_TRUE(h.button.m_hover);

    h.button.SetFlatLook(FALSE);
    EXPECT_FALSE(h.button.m_hover);
    h.MoveTo(20, 20);
    EXPECT_FALSE(h.button.m_hover);
}

TEST(HoverButton, WithoutTrackInactiveOnlyAnActiveApplicationLightsTheButton) {
    ButtonHarness h(BS_PUSHBUTTON, L"Go", false, true, WS_EX_NOACTIVATE);
    ASSERT_EQ(nullptr, GetActiveWindow());
    h.button.SetTrackInactive(FALSE);
    h.MoveTo(20, 20);
    EXPECT_FALSE(h.button.m_hover);
    h.button.SetTrackInactive(TRUE);
    h.MoveTo(20, 20);
    EXPECT_TRUE(h.button.m_hover);
    h.button.SetTrackInactive(FALSE);
    h.MoveTo(21, 20);
    EXPECT_FALSE(h.button.m_hover);
}

TEST(HoverButton, CheckBoxModeFollowsTheStyleBitAndAClickOnlyToggles) {
    const struct {
        DWORD style;
        BOOL checkBoxMode;
    } styles[] = {{BS_CHECKBOX, TRUE}, {BS_AUTOCHECKBOX, TRUE}, {BS_OWNERDRAW, TRUE},
                  {BS_GROUPBOX, TRUE}, {BS_RADIOBUTTON, FALSE}, {BS_PUSHBUTTON, FALSE}};
    for (const auto& entry : styles) {
        ButtonHarness h(entry.style);
        EXPECT_EQ(entry.checkBoxMode, h.button.m_checkBoxMode) << "style " << entry.style;
        EXPECT_EQ(static_cast<DWORD>(BS_OWNERDRAW), h.button.GetStyle() & BS_TYPEMASK);
    }

    ShellExecuteExRecorder recorder;
    ButtonHarness box(BS_CHECKBOX);
    box.button.SetLinkTarget(L"C:\\never.txt");
    box.Click();
    EXPECT_EQ(1, Send(box.button, BM_GETCHECK));
    box.Click();
    EXPECT_EQ(0, Send(box.button, BM_GETCHECK));
    EXPECT_EQ(2, box.host.m_clicks);
    EXPECT_TRUE(recorder.Calls().empty());
    Send(box.button, BM_SETCHECK, BST_INDETERMINATE);
    EXPECT_EQ(1, Send(box.button, BM_GETCHECK));
    Send(box.button, BM_SETCHECK, 7);
    EXPECT_EQ(0, Send(box.button, BM_GETCHECK));

    ButtonHarness push(BS_PUSHBUTTON);
    Send(push.button, BM_SETCHECK, BST_CHECKED);
    EXPECT_EQ(0, Send(push.button, BM_GETCHECK));
}

TEST(HoverButton, DefaultFlagFollowsTemplateAndSetStyleWhileTheTypeStaysOwnerDraw) {
    ButtonHarness h(BS_DEFPUSHBUTTON);
    EXPECT_TRUE(h.button.m_defaultButton);
    EXPECT_NE(0, Send(h.button, WM_GETDLGCODE) & DLGC_DEFPUSHBUTTON);
    const struct {
        WPARAM style;
        BOOL isDefault;
    } steps[] = {
        {BS_PUSHBUTTON, FALSE}, {BS_DEFPUSHBUTTON, TRUE}, {BS_CHECKBOX, TRUE}, {BS_PUSHBUTTON, FALSE}};
    for (const auto& step : steps) {
        Send(h.button, BM_SETSTYLE, step.style, TRUE);
        EXPECT_EQ(step.isDefault, h.button.m_defaultButton) << "style " << step.style;
        EXPECT_EQ(static_cast<DWORD>(BS_OWNERDRAW), h.button.GetStyle() & BS_TYPEMASK);
    }
    const LRESULT code = Send(h.button, WM_GETDLGCODE);
    EXPECT_NE(0, code & DLGC_UNDEFPUSHBUTTON);
    EXPECT_EQ(0, code & DLGC_DEFPUSHBUTTON);

    HDC dc = GetDC(h.button.m_hWnd);
    EXPECT_EQ(reinterpret_cast<LRESULT>(GetStockObject(NULL_BRUSH)),
              Send(h.host, WM_CTLCOLORBTN, reinterpret_cast<WPARAM>(dc),
                   reinterpret_cast<LPARAM>(h.button.m_hWnd)));
    ReleaseDC(h.button.m_hWnd, dc);
}

TEST(HoverButton, DisablingMovesTheFocusToTheNextTabStopOrElseToTheParent) {
    {
        ButtonHarness h(BS_PUSHBUTTON, L"Go", true);
        SetFocus(h.host.m_hWnd);  // the button need not have had the focus
        h.button.EnableWindow(FALSE);
        EXPECT_EQ(GetDlgItem(h.host.m_hWnd, kNeighbourId), GetFocus());
    }
    ButtonHarness h(BS_PUSHBUTTON);
    h.button.SetFocus();
    h.MoveTo(20, 20);
    h.button.EnableWindow(FALSE);
    EXPECT_EQ(h.host.m_hWnd, GetFocus());
    EXPECT_FALSE(h.button.m_hover);
}

TEST(HoverButton, DoubleClickGivesTwoClicksAndAClickOpensTheLinkTarget) {
    ShellExecuteExRecorder recorder;
    ButtonHarness h(BS_PUSHBUTTON);
    Send(h.button, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    Send(h.button, WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
    Send(h.button, WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(5, 5));
    Send(h.button, WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
    EXPECT_EQ(2, h.host.m_clicks);
    EXPECT_EQ(h.button.m_hWnd, GetFocus());
    EXPECT_TRUE(recorder.Calls().empty());

    const std::wstring target = L"https://example.com/页面";
    ASSERT_TRUE(h.button.SetLinkTarget(target.c_str()));
    EXPECT_FALSE(h.button.SetLinkTarget(std::wstring(MAX_PATH, L'x').c_str()));  // refused, not cut
    h.Click();
    ASSERT_EQ(1u, recorder.Calls().size());
    const auto& call = recorder.Calls()[0];
    EXPECT_EQ(L"open", call.verb);
    EXPECT_EQ(target, call.file);
    EXPECT_EQ(static_cast<ULONG>(SEE_MASK_FLAG_NO_UI), call.info.fMask);
    EXPECT_EQ(SW_SHOWMAXIMIZED, call.info.nShow);
    EXPECT_EQ(nullptr, call.info.hwnd);
    EXPECT_EQ(3, h.host.m_clicks);
}

TEST(HoverButton, OperationsForColoursCursorTipTransparencyAndBitmaps) {
    ButtonHarness h(BS_PUSHBUTTON, L"", false, false);
    EXPECT_FALSE(h.button.SetColor(CHoverButton::BTN_COLOR_COUNT, 0));
    EXPECT_EQ(CLR_INVALID, h.button.GetColor(-1));
    EXPECT_TRUE(h.button.SetColor(CHoverButton::BTN_FACE_REST, RGB(1, 2, 3)));
    EXPECT_EQ(RGB(1, 2, 3), h.button.GetColor(CHoverButton::BTN_FACE_REST));
    EXPECT_FALSE(h.button.SetImageAlign(3));

    // The cursor is owned: shown over the button, destroyed when replaced and with the button.
    HCURSOR first = CopyCursor(LoadCursorW(nullptr, IDC_HAND));
    HCURSOR second = CopyCursor(LoadCursorW(nullptr, IDC_HAND));
    h.button.SetButtonCursor(first);
    EXPECT_TRUE(Send(h.button, WM_SETCURSOR, reinterpret_cast<WPARAM>(h.button.m_hWnd), HTCLIENT));
    EXPECT_EQ(first, GetCursor());
    h.button.SetButtonCursor(second);
    ICONINFO info = {};
    EXPECT_FALSE(GetIconInfo(first, &info));

    // The tip window comes with the first message; a text registers the button once.
    MSG msg = {h.button.m_hWnd, WM_MOUSEMOVE, 0, 0, 0, {0, 0}};
    EXPECT_FALSE(h.button.PreTranslateMessage(&msg));
    ASSERT_NE(nullptr, h.button.m_tipCtrl.m_hWnd);
    EXPECT_TRUE(h.button.SetTooltipText(L"打开"));
    EXPECT_TRUE(h.button.SetTooltipText(L"关闭隐藏目录"));
    EXPECT_EQ(1, h.button.m_tipCtrl.GetToolCount());
    wchar_t text[80] = {};
    TTTOOLINFOW tool = {};
    tool.cbSize = TTTOOLINFOW_V2_SIZE;
    tool.hwnd = h.host.m_hWnd;
    tool.uId = reinterpret_cast<UINT_PTR>(h.button.m_hWnd);
    tool.lpszText = text;
    SendMessageW(h.button.m_tipCtrl.m_hWnd, TTM_GETTEXTW, 80, reinterpret_cast<LPARAM>(&tool));
    EXPECT_STREQ(L"关闭隐藏目录", text);

    // A transparent face shows the parent's pixels under the (hidden) button.
    h.button.SetTransparent(TRUE);
    Surface see;
    see.Draw(h.button);
    EXPECT_EQ(kHostColor, see.At(kButtonWidth / 2, kButtonHeight / 2));
    h.button.SetTransparent(FALSE);

    // A bitmap pair: the transparent colour lets the face through; a disabled one is embossed
    // unless grey-disabled drawing is off. The same handle twice is kept as two bitmaps.
    constexpr COLORREF kKey = RGB(255, 0, 255);
    constexpr COLORREF kBlue = RGB(0, 0, 255);
    h.button.SetColor(CHoverButton::BTN_FACE_REST, RGB(9, 9, 9));
    HDC screen = GetDC(nullptr);
    HBITMAP picture = CreateCompatibleBitmap(screen, 20, 20);
    ReleaseDC(nullptr, screen);
    {
        CDC dc;
        dc.CreateCompatibleDC(nullptr);
        CScopedSelect select(dc, picture);
        const RECT all = {0, 0, 20, 20};
        const RECT middle = {5, 5, 15, 15};
        dc.FillSolidRect(&all, kKey);
        dc.FillSolidRect(&middle, kBlue);
    }
    ASSERT_EQ(0, h.button.AssignBitmaps(picture, picture, kKey));
    EXPECT_NE(h.button.m_bitmaps[0].bitmap, h.button.m_bitmaps[1].bitmap);
    Surface normal, embossed, plainDisabled;
    normal.Draw(h.button);
    EXPECT_EQ(kBlue, normal.At(kButtonWidth / 2, kButtonHeight / 2));
    EXPECT_EQ(RGB(9, 9, 9), normal.At(kButtonWidth / 2 - 8, kButtonHeight / 2 - 8));
    embossed.Draw(h.button, ODS_DISABLED);
    EXPECT_TRUE(IsEmpty(embossed.BoxOf(kBlue)));
    h.button.SetGreyDisabledBitmap(FALSE);
    plainDisabled.Draw(h.button, ODS_DISABLED);
    EXPECT_EQ(kBlue, plainDisabled.At(kButtonWidth / 2, kButtonHeight / 2));
}
