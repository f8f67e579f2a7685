// The edges of the program's life around its notification-area icon: an icon the shell does not
// take, closing from the icon while a dialog of ours is open, and the foreground after the icon's
// menu and prompt have gone with the window hidden.
#include "app/DalvorinDlg.h"
#include "framework/AfxWin.h"
#include "tests/app/TestDriving.h"
#include "tests/common/MessagePump.h"
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

    // So does a restore that does not come through the system menu (a task switcher, undoing
    // "minimise all"): refused at once, the prompt runs right after, and the right password lets
    // that one restore through.
    window.ShowWindow(SW_RESTORE);
    EXPECT_TRUE(window.IsIconic()) << "restored past the password gate";
    {
        ScriptedAnswers right({Enter(L"pw")});
        PumpPendingMessages();
        ASSERT_FALSE(right.Captions().empty());
        EXPECT_EQ(L"请输入密码", right.Captions().front());
        EXPECT_FALSE(window.IsIconic());
    }

    g_addsRefused = 0;
    window.SendMessage(WM_TIMER, kTrayRetryTimerId, 0);
    EXPECT_TRUE(window.m_trayIcon.IsRegistered());
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

namespace {

// A shell that keeps the icons it holds, as a real one does: a second add of an icon it holds is
// refused (as after a repeated "TaskbarCreated"), a change of one it does not hold too. A busy
// shell answers no to an add, yet may have taken it.
struct HoldingShell {
    static inline bool holds = false;
    static inline bool refusesAdds = false;
    static inline bool busy = false;  // takes an add, but does not answer in time

    static BOOL WINAPI Call(DWORD action, PNOTIFYICONDATAW) {
        switch (action) {
            case NIM_ADD:
                if (busy) {
                    holds = true;
                    return FALSE;
                }
                return !refusesAdds && !std::exchange(holds, true);
            case NIM_MODIFY:
                return holds && !busy;
            case NIM_DELETE:
                return std::exchange(holds, false);
            default:
                return FALSE;
        }
    }
};

std::vector<std::pair<HWND, UINT>> g_filterAllowed;

BOOL WINAPI RecordFilterChange(HWND window, UINT message, DWORD action, PCHANGEFILTERSTRUCT) {
    if (action == MSGFLT_ALLOW) {
        g_filterAllowed.emplace_back(window, message);
    }
    return TRUE;
}

bool Allowed(HWND window, UINT message) {
    return std::find(g_filterAllowed.begin(), g_filterAllowed.end(), std::make_pair(window, message)) !=
           g_filterAllowed.end();
}

}  // namespace

// Whether minimising hides rests on what the shell holds: an icon it already holds stays ours
// after a repeated announcement, one it lost silently is put back before hiding (or the taskbar
// button stays), and an add it refused while busy is still taken away at the end.
TEST(TrayLifecycle, MinimisingHidesOnlyBehindAnIconTheShellHoldsAndNoIconOutlivesTheWindow) {
    const ShellCallRecorder shell;
    AfxGetShellCalls().shellNotifyIcon = &HoldingShell::Call;
    HoldingShell::holds = false;
    HoldingShell::refusesAdds = false;
    HoldingShell::busy = false;
    CDalvorinDlg window;
    ASSERT_TRUE(window.Create(CDalvorinDlg::IDD));
    ScriptedAnswers::Ignore(window);

    window.SendMessage(RegisterWindowMessageW(L"TaskbarCreated"));  // the shell did not restart
    EXPECT_TRUE(window.m_trayIcon.IsRegistered()) << "a second add the shell refuses is taken as a change";
    window.ShowWindow(SW_MINIMIZE);
    EXPECT_FALSE(window.IsWindowVisible());
    window.SendMessage(WM_TRAYNOTIFY, kTrayIconId, WM_LBUTTONDBLCLK);
    ASSERT_TRUE(window.IsWindowVisible());

    HoldingShell::holds = false;  // lost without an announcement (the message kept out, say)
    window.ShowWindow(SW_MINIMIZE);
    EXPECT_TRUE(HoldingShell::holds) << "the lost icon was not put back before hiding";
    EXPECT_FALSE(window.IsWindowVisible());
    window.SendMessage(WM_TRAYNOTIFY, kTrayIconId, WM_LBUTTONDBLCLK);

    HoldingShell::holds = false;
    HoldingShell::refusesAdds = true;
    window.ShowWindow(SW_MINIMIZE);
    EXPECT_TRUE(window.IsWindowVisible()) << "hidden behind an icon the shell does not hold";
    EXPECT_TRUE(window.IsIconic());

    HoldingShell::busy = true;
    window.SendMessage(WM_TIMER, kTrayRetryTimerId, 0);
    ASSERT_FALSE(window.m_trayIcon.IsRegistered());
    window.DestroyWindow();
    EXPECT_FALSE(HoldingShell::holds) << "a ghost icon outlives the window";
}

// Started as administrator, the window still hears the shell announce a restart and a later start
// without elevation ask for it; the search box still takes a file manager's drop.
TEST(TrayLifecycle, TheShellsAnnouncementAndALaterStartsRequestPassTheMessageFilter) {
    const ShellCallRecorder shell;
    g_filterAllowed.clear();
    AfxGetShellCalls().changeWindowMessageFilterEx = &RecordFilterChange;
    CDalvorinDlg window;
    ASSERT_TRUE(window.Create(CDalvorinDlg::IDD));
    EXPECT_TRUE(Allowed(window.m_hWnd, RegisterWindowMessageW(L"TaskbarCreated")));
    EXPECT_TRUE(Allowed(window.m_hWnd, CDalvorinDlg::RestoreRequestMessage()));
    EXPECT_TRUE(Allowed(window.m_hWnd, WM_NULL)) << "a later start's probe would find the window hung";
    EXPECT_TRUE(Allowed(window.GetDlgItem(IDC_SEARCH_EDIT)->m_hWnd, WM_DROPFILES));
    window.DestroyWindow();
}

namespace {

// The shell's own error box for a failed open, as Windows shows it: modal on the window.
HINSTANCE WINAPI OpenFailsWithTheSystemsBox(HWND owner, LPCWSTR, LPCWSTR, LPCWSTR, LPCWSTR, INT) {
    MessageBoxW(owner, L"找不到文件", L"shell", MB_OK);
    return reinterpret_cast<HINSTANCE>(static_cast<INT_PTR>(SE_ERR_FNF));
}

// Inside the box's loop: "关闭Nivvo", as the icon's menu sends it.
void CALLBACK ChooseCloseFromTheIcon(HWND, UINT, UINT_PTR timer, DWORD) {
    const HWND box = FindWindowW(L"#32770", L"shell");
    if (box == nullptr || !IsWindowVisible(box)) {
        return;
    }
    KillTimer(nullptr, timer);
    AfxGetMainWnd()->PostMessage(WM_COMMAND, IDCANCEL, 0);
}

void CALLBACK SearchOnceUp(HWND, UINT, UINT_PTR timer, DWORD) {
    KillTimer(nullptr, timer);
    AfxGetMainWnd()->PostMessage(WM_COMMAND, MAKEWPARAM(IDC_SEARCH_BUTTON, BN_CLICKED), 0);
    SetTimer(nullptr, 0, 50, ChooseCloseFromTheIcon);
}

}  // namespace

TEST(TrayLifecycle, ClosingFromTheIconWhileTheSystemShowsABoxEndsTheProgramToo) {
    const ShellCallRecorder shell;
    AfxGetShellCalls().shellExecute = &OpenFailsWithTheSystemsBox;
    CDalvorinDlg window;
    AfxGetApp()->m_pMainWnd = &window;
    SetTimer(nullptr, 0, 100, SearchOnceUp);
    const UINT_PTR safety = SetTimer(nullptr, 0, 15000, EndMainWindow);
    const INT_PTR result = window.DoModal();
    KillTimer(nullptr, safety);
    AfxGetApp()->m_pMainWnd = nullptr;
    EXPECT_EQ(IDCANCEL, result) << "the program waited for the box to be answered";
    EXPECT_EQ(nullptr, FindWindowW(L"#32770", L"shell"));
    EXPECT_FALSE(QuitPending());
}
