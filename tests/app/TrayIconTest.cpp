// The notification-area icon: what its callbacks do, its menu, and its life with the window and
// the shell.
#include "app/DalvorinDlg.h"
#include "tests/app/MenuDriver.h"
#include "tests/app/ScriptedAnswers.h"
#include "tests/common/MessagePump.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

struct NotifyCall {
    DWORD action;
    HWND window;
    UINT id;
    const NOTIFYICONDATAW* data;
};

// Records the notification-area calls instead of making them.
class NotifyRecorder {
public:
    NotifyRecorder() : m_saved(AfxGetShellCalls().shellNotifyIcon) {
        Calls().clear();
        AfxGetShellCalls().shellNotifyIcon = &Record;
    }
    ~NotifyRecorder() { AfxGetShellCalls().shellNotifyIcon = m_saved; }
    NotifyRecorder(const NotifyRecorder&) = delete;
    NotifyRecorder& operator=(const NotifyRecorder&) = delete;

    static std::vector<NotifyCall>& Calls() {
        static std::vector<NotifyCall> calls;
        return calls;
    }

private:
    static BOOL WINAPI Record(DWORD action, PNOTIFYICONDATAW data) {
        Calls().push_back({action, data->hWnd, data->uID, data});
        return TRUE;
    }
    BOOL(WINAPI* m_saved)(DWORD, PNOTIFYICONDATAW);
};

class TrayIconTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(m_window.Create(CDalvorinDlg::IDD));
        ScriptedAnswers::Ignore(m_window);
    }
    void TearDown() override { m_window.DestroyWindow(); }

    LRESULT Notify(WPARAM id, UINT mouseMessage) {
        return m_window.SendMessage(WM_TRAYNOTIFY, id, mouseMessage);
    }
    void SetPassword() {
        m_window.m_passwdDlg.m_strPassword = L"pw";
        m_window.m_passwdDlg.m_bPasswordSet = true;
    }

    CDalvorinDlg m_window;
};

// Runs the main window modally and ends it through the right-click menu of its icon.
void CALLBACK RightClickTrayIcon(HWND, UINT, UINT_PTR timer, DWORD) {
    KillTimer(nullptr, timer);
    CWnd* main = AfxGetMainWnd();
    if (main != nullptr && main->m_hWnd != nullptr) {
        main->SendMessage(WM_TRAYNOTIFY, kTrayIconId, WM_RBUTTONUP);
    }
}

void CALLBACK EndWindowIfStillRunning(HWND, UINT, UINT_PTR timer, DWORD) {
    KillTimer(nullptr, timer);
    CWnd* main = AfxGetMainWnd();
    if (main != nullptr && main->m_hWnd != nullptr) {
        static_cast<CDialog*>(main)->EndDialog(IDABORT);
    }
}

}  // namespace

TEST_F(TrayIconTest, OtherIconsAndSingleClicksChangeNothingADoubleClickWithoutPasswordShowsTheWindow) {
    m_window.ShowWindow(SW_MINIMIZE);
    EXPECT_EQ(1, Notify(kTrayIconId + 1, WM_LBUTTONDBLCLK));
    EXPECT_EQ(0, Notify(kTrayIconId, WM_LBUTTONUP));
    EXPECT_EQ(0, Notify(kTrayIconId, WM_MOUSEMOVE));
    EXPECT_FALSE(m_window.IsWindowVisible());

    EXPECT_EQ(0, Notify(kTrayIconId, WM_LBUTTONDBLCLK));
    EXPECT_TRUE(m_window.IsWindowVisible());
    EXPECT_FALSE(m_window.IsIconic());
    EXPECT_EQ(0, Notify(kTrayIconId, WM_LBUTTONDBLCLK));  // already shown: stays shown
    EXPECT_TRUE(m_window.IsWindowVisible());
}

TEST_F(TrayIconTest, NoSecondPromptWhileOursIsOpenButAForeignWindowWithItsTitleDoesNotBlock) {
    SetPassword();
    m_window.ShowWindow(SW_MINIMIZE);
    HWND foreign = CreateWindowExW(0, L"STATIC", L"请输入密码", WS_POPUP | WS_VISIBLE, 0, 0, 50, 50, nullptr,
                                   nullptr, GetModuleHandleW(nullptr), nullptr);
    ASSERT_NE(nullptr, foreign);

    LRESULT nested = -1;
    ScriptedAnswers answers({[&](HWND prompt) {
        nested = Notify(kTrayIconId, WM_LBUTTONDBLCLK);  // a second double click while it is open
        m_window.SendMessage(CDalvorinDlg::RestoreRequestMessage());  // a second start, too
        ScriptedAnswers::Press(IDCANCEL)(prompt);
    }});
    EXPECT_EQ(0, Notify(kTrayIconId, WM_LBUTTONDBLCLK));
    DestroyWindow(foreign);

    EXPECT_EQ(0u, answers.StepsLeft());
    EXPECT_EQ(0, nested);
    ASSERT_EQ(1u, answers.Captions().size()) << "only our own prompt, once";
    EXPECT_EQ(L"请输入密码", answers.Captions()[0]);
    EXPECT_FALSE(m_window.IsWindowVisible());
}

TEST(TrayIconLife, IsAddedOnceComesBackWhenTheShellRestartsAndGoesWithTheWindow) {
    NotifyRecorder recorder;
    CDalvorinDlg window;
    ASSERT_TRUE(window.Create(CDalvorinDlg::IDD));
    ASSERT_EQ(1u, NotifyRecorder::Calls().size());
    EXPECT_EQ(static_cast<DWORD>(NIM_ADD), NotifyRecorder::Calls()[0].action);

    window.SendMessage(RegisterWindowMessageW(L"TaskbarCreated"));
    ASSERT_EQ(2u, NotifyRecorder::Calls().size());
    const NotifyCall& again = NotifyRecorder::Calls()[1];
    EXPECT_EQ(static_cast<DWORD>(NIM_ADD), again.action);
    EXPECT_EQ(&g_trayIcon, again.data);
    EXPECT_EQ(window.m_hWnd, again.window);
    EXPECT_EQ(kTrayIconId, again.id);

    // Hiding and showing the window leaves the icon alone.
    window.ShowWindow(SW_MINIMIZE);
    window.SendMessage(WM_TRAYNOTIFY, kTrayIconId, WM_LBUTTONDBLCLK);
    EXPECT_EQ(2u, NotifyRecorder::Calls().size());

    const HWND gone = window.m_hWnd;
    window.DestroyWindow();
    ASSERT_EQ(3u, NotifyRecorder::Calls().size());
    EXPECT_EQ(static_cast<DWORD>(NIM_DELETE), NotifyRecorder::Calls()[2].action);
    EXPECT_EQ(gone, NotifyRecorder::Calls()[2].window);
    EXPECT_EQ(kTrayIconId, NotifyRecorder::Calls()[2].id);
}

TEST(TrayIconMenu, RightClickOffersOnlyCloseNivvoWhichEndsTheWindowWithoutAskingForThePassword) {
    CDalvorinDlg window;
    window.m_passwdDlg.m_strPassword = L"pw";
    window.m_passwdDlg.m_bPasswordSet = true;
    CWinApp* app = AfxGetApp();
    app->m_pMainWnd = &window;
    MenuDriver chooseFirst(0);
    SetTimer(nullptr, 0, 100, RightClickTrayIcon);
    const UINT_PTR safety = SetTimer(nullptr, 0, 15000, EndWindowIfStillRunning);
    int prompts = 0;
    DialogAutoResponder noPrompt([&](HWND dialog) {
        if (DialogAutoResponder::Text(dialog) == L"请输入密码") {
            ++prompts;
            DialogAutoResponder::PressButton(dialog, IDCANCEL);
        }
    });

    const INT_PTR result = window.DoModal();
    KillTimer(nullptr, safety);
    app->m_pMainWnd = nullptr;

    EXPECT_EQ(IDCANCEL, result);
    EXPECT_EQ(std::vector<std::wstring>{L"关闭Nivvo"}, MenuDriver::Items());
    EXPECT_EQ(0, prompts);
}

// The menu closes on a click elsewhere only while its owner is in the foreground, and it needs a
// message after tracking to notice that it is done.
TEST_F(TrayIconTest, TheMenuIsTrackedInTheForegroundFollowedByANullMessageAndDismissingItChangesNothing) {
    HWND other = CreateWindowExW(0, L"STATIC", L"other", WS_POPUP | WS_VISIBLE, 0, 0, 50, 50, nullptr,
                                 nullptr, GetModuleHandleW(nullptr), nullptr);
    SetForegroundWindow(other);
    MenuDriver dismiss(-1);
    EXPECT_EQ(0, Notify(kTrayIconId, WM_RBUTTONUP));
    EXPECT_EQ(std::vector<std::wstring>{L"关闭Nivvo"}, MenuDriver::Items());
    EXPECT_EQ(m_window.m_hWnd, MenuDriver::Foreground());
    bool nullPosted = false;
    MSG msg;
    while (PeekMessageW(&msg, m_window, 0, 0, PM_REMOVE)) {
        nullPosted = nullPosted || msg.message == WM_NULL;
        DispatchMessageW(&msg);
    }
    EXPECT_TRUE(nullPosted);
    EXPECT_TRUE(m_window.IsWindowVisible());
    DestroyWindow(other);
}

TEST_F(TrayIconTest, ASecondStartAsksForThePasswordLikeADoubleClick) {
    SetPassword();
    m_window.ShowWindow(SW_MINIMIZE);
    ScriptedAnswers answers({ScriptedAnswers::Enter(L"pw"), ScriptedAnswers::Press(IDOK)});
    m_window.SendMessage(CDalvorinDlg::RestoreRequestMessage());
    EXPECT_EQ(0u, answers.StepsLeft());
    ASSERT_FALSE(answers.Captions().empty());
    EXPECT_EQ(L"请输入密码", answers.Captions()[0]);
    EXPECT_TRUE(m_window.IsWindowVisible());
}
