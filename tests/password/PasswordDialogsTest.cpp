// Creating the password from the menu and entering it at the prompt of the notification-area icon.
#include "app/DalvorinDlg.h"
#include "tests/app/TestDriving.h"
#include "tests/common/ShellCallRecorder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

namespace {

class PasswordTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(m_window.Create(CDalvorinDlg::IDD));
        ScriptedAnswers::Ignore(m_window);
    }
    // As the menu item "创建密码" delivers it.
    void CreatePassword(std::vector<Step> steps) {
        ScriptedAnswers answers(std::move(steps));
        m_window.SendMessage(WM_COMMAND, MAKEWPARAM(ID_CREATE_PASSWORD, 0), 0);
        EXPECT_EQ(0u, answers.StepsLeft());
        m_texts = answers.Texts();
    }
    void RestoreFromTray(std::vector<Step> steps) {
        ScriptedAnswers answers(std::move(steps));
        m_window.SendMessage(WM_TRAYNOTIFY, kTrayIconId, WM_LBUTTONDBLCLK);
        EXPECT_EQ(0u, answers.StepsLeft());
        m_texts = answers.Texts();
    }
    long Shown(const wchar_t* text) const { return std::count(m_texts.begin(), m_texts.end(), text); }

    CDalvorinDlg m_window;
    ShellCallRecorder m_recorder;
    std::vector<std::wstring> m_texts;
};

}  // namespace

TEST_F(PasswordTest, EmptyIsRefusedTheTypedPasswordIsKeptMaskedTheFolderClosedHiddenAndTheWindowHidden) {
    bool masked = false;
    CreatePassword({[&](HWND dialog, HWND) {
                        masked = (GetWindowLongW(GetDlgItem(dialog, IDC_PASSWORD_EDIT), GWL_STYLE) &
                                  ES_PASSWORD) != 0;
                        Enter(L"")(dialog, dialog);
                    },
                    RetryWith(L"Secret")});
    EXPECT_EQ(1, Shown(L"密码不能为空"));
    EXPECT_TRUE(masked);
    EXPECT_TRUE(m_window.m_passwdDlg.m_bPasswordSet);
    EXPECT_EQ(CString(L"Secret"), m_window.m_passwdDlg.m_strPassword);
    ASSERT_EQ(1u, ShellCallRecorder::CommandLines().size());
    const std::string& run = ShellCallRecorder::CommandLines()[0].commandLine;
    EXPECT_EQ('"', run.front());
    EXPECT_NE(std::string::npos, run.find(":\\")) << "by its full path: " << run;
    EXPECT_EQ(run.size() - 17, run.find("\\systemclose.bat\"")) << run;
    EXPECT_EQ(static_cast<UINT>(SW_HIDE), ShellCallRecorder::CommandLines()[0].show);
    EXPECT_FALSE(m_window.IsWindowVisible());
}

TEST_F(PasswordTest, ThePromptWantsTheExactTextCancelKeepsThePasswordAndALaterOneReplacesIt) {
    CreatePassword({Enter(L"Secret")});
    RestoreFromTray({Enter(L"secret"), RetryWith(L"Secret "), RetryWith(L"Secret"), Press(IDOK)});
    EXPECT_EQ(2, Shown(L"密码错误，请重心输入哟"));
    EXPECT_EQ(1, Shown(L"输入正确"));
    EXPECT_TRUE(m_window.m_checkPasswdDlg.m_bPassed);
    EXPECT_TRUE(m_window.IsWindowVisible());

    CreatePassword({Enter(L"ignored", IDCANCEL)});  // Cancel: same password, still hidden, no script
    EXPECT_EQ(CString(L"Secret"), m_window.m_passwdDlg.m_strPassword);
    EXPECT_EQ(1u, ShellCallRecorder::CommandLines().size());
    EXPECT_FALSE(m_window.IsWindowVisible());
    RestoreFromTray({Enter(L"Secret", IDCANCEL)});
    EXPECT_FALSE(m_window.m_checkPasswdDlg.m_bPassed);
    EXPECT_FALSE(m_window.IsWindowVisible());

    CreatePassword({Enter(L"second")});
    RestoreFromTray({Enter(L"Secret"), RetryWith(L"second"), Press(IDOK)});
    EXPECT_EQ(1, Shown(L"密码错误，请重心输入哟"));
    EXPECT_TRUE(m_window.IsWindowVisible());
}
