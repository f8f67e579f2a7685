// The edges of the program's life around its notification-area icon: an icon the shell does not
// take, closing from the icon while a dialog of ours is open, and the foreground after the icon's
// menu and prompt have gone with the window hidden.
#include "app/DalvorinDlg.h"
#include "framework/AfxWin.h"
#include "tests/app/TestDriving.h"
#include "tests/common/ShellCallRecorder.h"

#include <gtest/gtest.h>

namespace {

// A shell that refuses every icon until told otherwise.
int g_addsRefused = 0;
int g_adds = 0;

BOOL WINAPI RefusingShell(DWORD action, PNOTIFYICONDATAW) {
    if (action == NIM_ADD) {
        ++g_adds;
    }
    return action == NIM_DELETE || g_addsRefused == 0;
}

bool g_watchShows = false;
int g_mainShows = 0;

LRESULT CALLBACK CountMainWindowShows(int code, WPARAM wParam, LPARAM lParam) {
    const auto* call = reinterpret_cast<const CWPSTRUCT*>(lParam);
    if (code == HC_ACTION && g_watchShows && call->message == WM_SHOWWINDOW && call->wParam != 0 &&
        AfxGetMainWnd() != nullptr && call->hwnd == AfxGetMainWnd()->m_hWnd) {
        ++g_mainShows;
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

// Once the running window is up: it goes to the notification area, and a double click opens the
// password prompt (inside this timer's call).
void CALLBACK HideThenDoubleClickTheIcon(HWND, UINT, UINT_PTR timer, DWORD) {
    KillTimer(nullptr, timer);
    CWnd* main = AfxGetMainWnd();
    main->ShowWindow(SW_MINIMIZE);
    g_watchShows = true;
    main->SendMessage(WM_TRAYNOTIFY, kTrayIconId, WM_LBUTTONDBLCLK);
}

void CALLBACK EndMainWindow(HWND, UINT, UINT_PTR timer, DWORD) {
    KillTimer(nullptr, timer);
    static_cast<CDialog*>(AfxGetMainWnd())->EndDialog(IDABORT);
}

HWND g_other = nullptr;
HWND g_foregroundAfterSecondStart = nullptr;

// Once the prompt is up and another window has the foreground, the program is started again.
void CALLBACK StartAgainThenCancelThePrompt(HWND, UINT, UINT_PTR timer, DWORD) {
    KillTimer(nullptr, timer);
    const HWND prompt = FindWindowW(L"#32770", L"请输入密码");
    SetForegroundWindow(g_other);
    AfxGetMainWnd()->SendMessage(CDalvorinDlg::RestoreRequestMessage());
    g_foregroundAfterSecondStart = GetForegroundWindow() == prompt ? prompt : nullptr;
    DialogAutoResponder::PressButton(prompt, IDCANCEL);
}

bool QuitPending() {
    MSG msg;
    return PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_NOREMOVE) != FALSE;
}

}  // namespace

TEST(TrayLifecycle, AnIconTheShellRefusesIsRetriedAndUntilThenTheWindowStaysReachable) {
    const ShellCallRecorder shell;  // gives the shell calls back at the end
    AfxGetShellCalls().shellNotifyIcon = &RefusingShell;
    g_adds = 0;
    g_addsRefused = 1;
    CDalvorinDlg window;
    ASSERT_TRUE(window.Create(CDalvorinDlg::IDD));
    ScriptedAnswers::Ignore(window);
    EXPECT_FALSE(window.m_trayIcon.IsRegistered());
    window.ShowWindow(SW_MINIMIZE);
    EXPECT_TRUE(window.IsIconic());
    EXPECT_TRUE(window.IsWindowVisible()) << "no icon: the taskbar button is the way back";

    // The taskbar button passes the same password gate as the icon.
    window.m_passwdDlg.m_strPassword = L"pw";
    window.m_passwdDlg.m_bPasswordSet = true;
    {
        ScriptedAnswers cancel({Press(IDCANCEL)});
        window.SendMessage(WM_SYSCOMMAND, SC_RESTORE, 0);
        EXPECT_EQ(std::vector<std::wstring>{L"请输入密码"}, cancel.Captions());
        EXPECT_TRUE(window.IsIconic());
    }

    g_addsRefused = 0;
    window.SendMessage(WM_TIMER, kTrayRetryTimerId, 0);
    EXPECT_TRUE(window.m_trayIcon.IsRegistered());
    window.ShowWindow(SW_RESTORE);
    window.ShowWindow(SW_MINIMIZE);
    EXPECT_FALSE(window.IsWindowVisible()) << "with the icon there, minimising hides";

    // A restarted shell that does not take the icon back gives the hidden window its button again,
    // and the retries are bounded.
    g_addsRefused = 1;
    window.SendMessage(RegisterWindowMessageW(L"TaskbarCreated"));
    EXPECT_FALSE(window.m_trayIcon.IsRegistered());
    EXPECT_TRUE(window.IsWindowVisible());
    const int addsBefore = g_adds;
    for (int i = 0; i < CTrayIcon::kRetries + 5; ++i) {
        window.SendMessage(WM_TIMER, kTrayRetryTimerId, 0);
    }
    EXPECT_EQ(CTrayIcon::kRetries, g_adds - addsBefore);
    window.DestroyWindow();
}

// The right password is typed; while "输入正确" is still up, "关闭Nivvo" is chosen from the icon.
TEST(TrayLifecycle, ClosingFromTheIconWhileThePromptIsOpenEndsEveryLoopAndShowsNothing) {
    CDalvorinDlg window;
    window.m_passwdDlg.m_strPassword = L"pw";
    window.m_passwdDlg.m_bPasswordSet = true;
    AfxGetApp()->m_pMainWnd = &window;
    g_watchShows = false;
    g_mainShows = 0;
    const HHOOK hook = SetWindowsHookExW(WH_CALLWNDPROC, CountMainWindowShows, nullptr, GetCurrentThreadId());
    MenuDriver chooseClose(0);
    DWORD closeChosenAt = 0;
    DialogAutoResponder answers([&](HWND dialog) {
        if (DialogAutoResponder::Text(dialog) == L"请输入密码") {
            Enter(L"pw")(dialog, dialog);
        } else if (dialog != window.m_hWnd && closeChosenAt == 0) {
            closeChosenAt = GetTickCount();
            window.PostMessage(WM_TRAYNOTIFY, kTrayIconId, WM_RBUTTONUP);
        }
    });
    SetTimer(nullptr, 0, 100, HideThenDoubleClickTheIcon);
    const UINT_PTR safety = SetTimer(nullptr, 0, 15000, EndMainWindow);

    const INT_PTR result = window.DoModal();
    const DWORD ended = GetTickCount();
    KillTimer(nullptr, safety);
    UnhookWindowsHookEx(hook);
    AfxGetApp()->m_pMainWnd = nullptr;

    EXPECT_EQ(IDCANCEL, result);
    EXPECT_EQ(std::vector<std::wstring>{L"输入正确"}, answers.Texts());
    EXPECT_EQ(0, g_mainShows) << "the window showed after the program was told to close";
    EXPECT_LT(ended - closeChosenAt, 1000u);
    EXPECT_FALSE(QuitPending()) << "the quit message that ended the nested loops was left behind";
}

// With the window hidden, neither the icon's menu nor the prompt leaves a window of ours in the
// foreground, where it would take the keys the user types next; a second start brings the open
// prompt to the front.
TEST(TrayLifecycle, WithTheWindowHiddenTheMenuAndThePromptGiveTheForegroundBack) {
    CDalvorinDlg window;
    ASSERT_TRUE(window.Create(CDalvorinDlg::IDD));
    AfxGetApp()->m_pMainWnd = &window;
    ScriptedAnswers::Ignore(window);
    g_other = CreateWindowExW(0, L"STATIC", L"other", WS_POPUP | WS_VISIBLE, 0, 0, 50, 50, nullptr, nullptr,
                              nullptr, nullptr);
    window.ShowWindow(SW_MINIMIZE);
    ASSERT_FALSE(window.IsWindowVisible());
    SetForegroundWindow(g_other);
    {
        MenuDriver dismiss(-1);
        window.SendMessage(WM_TRAYNOTIFY, kTrayIconId, WM_RBUTTONUP);
        EXPECT_EQ(std::vector<std::wstring>{L"关闭Nivvo"}, MenuDriver::Items());
        EXPECT_EQ(g_other, GetForegroundWindow());
    }

    window.m_passwdDlg.m_strPassword = L"pw";
    window.m_passwdDlg.m_bPasswordSet = true;
    g_foregroundAfterSecondStart = nullptr;
    {
        DialogAutoResponder prompt([](HWND) { SetTimer(nullptr, 0, 50, StartAgainThenCancelThePrompt); });
        window.SendMessage(WM_TRAYNOTIFY, kTrayIconId, WM_LBUTTONDBLCLK);
    }
    EXPECT_NE(nullptr, g_foregroundAfterSecondStart) << "a second start left the prompt behind";
    EXPECT_NE(window.m_hWnd, GetActiveWindow());
    EXPECT_NE(window.m_hWnd, GetForegroundWindow());
    EXPECT_FALSE(window.IsWindowVisible());
    AfxGetApp()->m_pMainWnd = nullptr;
    DestroyWindow(g_other);
    window.DestroyWindow();
}
