// The notification-area icon: its callbacks, its password gate, its menu, and its life with the
// window and the shell.
#include "app/DalvorinDlg.h"
#include "framework/AfxWin.h"
#include "tests/app/TestDriving.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

namespace {

std::vector<std::pair<DWORD, HWND>> g_notifyCalls;

BOOL WINAPI RecordNotifyIcon(DWORD action, PNOTIFYICONDATAW data) {
    g_notifyCalls.emplace_back(action, data->uID == kTrayIconId ? data->hWnd : nullptr);
    return TRUE;
}

class TrayIconTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(m_window.Create(CDalvorinDlg::IDD));
        ScriptedAnswers::Ignore(m_window);
    }
    LRESULT Notify(WPARAM id, UINT mouseMessage) {
        return m_window.SendMessage(WM_TRAYNOTIFY, id, mouseMessage);
    }
    void SetPasswordAndHide() {
        m_window.m_passwdDlg.m_strPassword = L"pw";
        m_window.m_passwdDlg.m_bPasswordSet = true;
        m_window.ShowWindow(SW_MINIMIZE);
    }

    CDalvorinDlg m_window;
};

void CALLBACK RightClickTrayIconOfMainWindow(HWND, UINT, UINT_PTR timer, DWORD) {
    KillTimer(nullptr, timer);
    AfxGetMainWnd()->SendMessage(WM_TRAYNOTIFY, kTrayIconId, WM_RBUTTONUP);
}

void CALLBACK EndMainWindow(HWND, UINT, UINT_PTR timer, DWORD) {
    KillTimer(nullptr, timer);
    static_cast<CDialog*>(AfxGetMainWnd())->EndDialog(IDABORT);
}

}  // namespace

TEST_F(TrayIconTest, OtherIconsAndSingleClicksDoNothingADoubleClickWithoutPasswordShowsTheWindow) {
    m_window.ShowWindow(SW_MINIMIZE);
    EXPECT_EQ(1, Notify(kTrayIconId + 1, WM_LBUTTONDBLCLK));
    EXPECT_EQ(0, Notify(kTrayIconId, WM_LBUTTONUP));
    EXPECT_FALSE(m_window.IsWindowVisible());
    EXPECT_EQ(0, Notify(kTrayIconId, WM_LBUTTONDBLCLK));
    EXPECT_TRUE(m_window.IsWindowVisible());
    EXPECT_FALSE(m_window.IsIconic());
}

TEST_F(TrayIconTest, OnlyOurOwnOpenPromptBlocksAnotherAndASecondStartPassesTheSameGate) {
    SetPasswordAndHide();
    HWND foreign = CreateWindowExW(0, L"STATIC", L"请输入密码", WS_POPUP | WS_VISIBLE, 0, 0, 50, 50, nullptr,
                                   nullptr, nullptr, nullptr);
    ScriptedAnswers answers({[&](HWND prompt, HWND) {
        Notify(kTrayIconId, WM_LBUTTONDBLCLK);  // again, while our prompt is open
        m_window.SendMessage(CDalvorinDlg::RestoreRequestMessage());
        Press(IDCANCEL)(prompt, prompt);
    }});
    EXPECT_EQ(0, Notify(kTrayIconId, WM_LBUTTONDBLCLK));
    DestroyWindow(foreign);
    EXPECT_EQ(std::vector<std::wstring>{L"请输入密码"}, answers.Captions()) << "our prompt, once";
    EXPECT_FALSE(m_window.IsWindowVisible());

    ScriptedAnswers second({Enter(L"pw"), Press(IDOK)});
    m_window.SendMessage(CDalvorinDlg::RestoreRequestMessage());
    EXPECT_EQ(0u, second.StepsLeft());
    EXPECT_TRUE(m_window.IsWindowVisible());
}

// A menu closes on a click elsewhere only while its thread is in the foreground, and notices that
// it is done only with a message after tracking.
TEST_F(TrayIconTest, TheMenuIsTrackedInTheForegroundFollowedByANullMessageDismissingItChangesNothing) {
    HWND other = CreateWindowExW(0, L"STATIC", L"other", WS_POPUP | WS_VISIBLE, 0, 0, 50, 50, nullptr,
                                 nullptr, nullptr, nullptr);
    SetForegroundWindow(other);
    MenuDriver dismiss(-1);
    EXPECT_EQ(0, Notify(kTrayIconId, WM_RBUTTONUP));
    EXPECT_EQ(std::vector<std::wstring>{L"关闭Nivvo"}, MenuDriver::Items());
    EXPECT_NE(nullptr, MenuDriver::Foreground());
    EXPECT_NE(other, MenuDriver::Foreground()) << "tracked with this program in the foreground";
    EXPECT_EQ(m_window.m_hWnd, GetForegroundWindow()) << "the shown window has it afterwards";
    MSG msg;
    EXPECT_TRUE(PeekMessageW(&msg, m_window, WM_NULL, WM_NULL, PM_REMOVE) && msg.message == WM_NULL);
    EXPECT_TRUE(m_window.IsWindowVisible());
    DestroyWindow(other);
}

TEST(TrayIconMenu, CloseNivvoEndsTheRunningWindowWithoutAskingForThePassword) {
    CDalvorinDlg window;
    window.m_passwdDlg.m_bPasswordSet = true;
    AfxGetApp()->m_pMainWnd = &window;
    MenuDriver chooseFirst(0);
    SetTimer(nullptr, 0, 100, RightClickTrayIconOfMainWindow);
    const UINT_PTR safety = SetTimer(nullptr, 0, 15000, EndMainWindow);
    DialogAutoResponder prompts([](HWND dialog) {
        if (DialogAutoResponder::Text(dialog) == L"请输入密码") {
            DialogAutoResponder::PressButton(dialog, IDCANCEL);
        }
    });
    const INT_PTR result = window.DoModal();
    KillTimer(nullptr, safety);
    AfxGetApp()->m_pMainWnd = nullptr;
    EXPECT_EQ(IDCANCEL, result);
    EXPECT_EQ(std::vector<std::wstring>{L"关闭Nivvo"}, MenuDriver::Items());
    EXPECT_EQ(0, std::count(prompts.Captions().begin(), prompts.Captions().end(), L"请输入密码"));
}

TEST(TrayIconLife, AddedOnceBackWhenTheShellRestartsGoneWithTheWindow) {
    AfxShellCalls saved = AfxGetShellCalls();
    AfxGetShellCalls().shellNotifyIcon = &RecordNotifyIcon;
    g_notifyCalls.clear();
    CDalvorinDlg window;
    ASSERT_TRUE(window.Create(CDalvorinDlg::IDD));
    const HWND hwnd = window.m_hWnd;
    window.ShowWindow(SW_MINIMIZE);
    window.SendMessage(WM_TRAYNOTIFY, kTrayIconId, WM_LBUTTONDBLCLK);
    window.SendMessage(RegisterWindowMessageW(L"TaskbarCreated"));
    window.DestroyWindow();
    AfxGetShellCalls() = saved;

    // Minimising asks the shell whether it still holds the icon before hiding behind it.
    const std::vector<std::pair<DWORD, HWND>> expected = {
        {NIM_ADD, hwnd}, {NIM_MODIFY, hwnd}, {NIM_ADD, hwnd}, {NIM_DELETE, hwnd}};
    EXPECT_EQ(expected, g_notifyCalls);
}
