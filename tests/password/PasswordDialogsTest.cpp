// Creating the password from the menu and entering it at the prompt of the notification-area icon.
#include "app/DalvorinDlg.h"
#include "tests/app/ScriptedAnswers.h"
#include "tests/common/ShellCallRecorder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

constexpr wchar_t kCreateCaption[] = L"密码";
constexpr wchar_t kEmptyText[] = L"密码不能为空";
constexpr wchar_t kWrongText[] = L"密码错误，请重心输入哟";
constexpr wchar_t kRightText[] = L"输入正确";

bool EndsWith(const std::string& text, const std::string& end) {
    return text.size() >= end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
}

bool Contains(const std::vector<std::wstring>& texts, const std::wstring& text) {
    return std::find(texts.begin(), texts.end(), text) != texts.end();
}

class PasswordTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(m_window.Create(CDalvorinDlg::IDD));
        ScriptedAnswers::Ignore(m_window);
    }
    void TearDown() override { m_window.DestroyWindow(); }

    // As the menu item "创建密码" delivers it.
    void ChooseCreatePassword() { m_window.SendMessage(WM_COMMAND, MAKEWPARAM(ID_CREATE_PASSWORD, 0), 0); }
    void DoubleClickTrayIcon() { m_window.SendMessage(WM_TRAYNOTIFY, kTrayIconId, WM_LBUTTONDBLCLK); }
    void HideWindow() { m_window.ShowWindow(SW_MINIMIZE); }

    CDalvorinDlg m_window;
    ShellCallRecorder m_recorder;
};

}  // namespace

TEST_F(PasswordTest, AnEmptyEntryIsRefusedThenTheTypedPasswordIsKeptTheFolderClosedAndTheWindowHidden) {
    HWND create = nullptr;
    bool masked = false;
    bool startsEmpty = false;
    ScriptedAnswers answers({ScriptedAnswers::Remember(&create,
                                                       [&](HWND dialog) {
                                                           HWND edit = GetDlgItem(dialog, IDC_PASSWORD_EDIT);
                                                           masked = (GetWindowLongW(edit, GWL_STYLE) &
                                                                     ES_PASSWORD) != 0;
                                                           startsEmpty = GetWindowTextLengthW(edit) == 0;
                                                           ScriptedAnswers::Enter(L"")(dialog);
                                                       }),
                             ScriptedAnswers::AcknowledgeThenEnter(&create, L"Secret")});
    ChooseCreatePassword();

    EXPECT_EQ(0u, answers.StepsLeft());
    ASSERT_EQ(2u, answers.Captions().size());
    EXPECT_EQ(kCreateCaption, answers.Captions()[0]);
    EXPECT_TRUE(Contains(answers.Texts(), kEmptyText));
    EXPECT_TRUE(masked);
    EXPECT_TRUE(startsEmpty);
    EXPECT_TRUE(m_window.m_passwdDlg.m_bPasswordSet);
    EXPECT_EQ(CString(L"Secret"), m_window.m_passwdDlg.m_strPassword);
    ASSERT_EQ(1u, ShellCallRecorder::CommandLines().size());
    const RecordedCommandLine& run = ShellCallRecorder::CommandLines()[0];
    EXPECT_TRUE(EndsWith(run.commandLine, "\\systemclose.bat\"")) << run.commandLine;
    EXPECT_EQ('"', run.commandLine.front());
    EXPECT_EQ(static_cast<UINT>(SW_HIDE), run.show);
    EXPECT_FALSE(m_window.IsWindowVisible());
}

TEST_F(PasswordTest, CancelKeepsTheOldPasswordAndStillHidesALaterCreationReplacesIt) {
    m_window.m_passwdDlg.m_strPassword = L"first";
    m_window.m_passwdDlg.m_bPasswordSet = true;
    {
        ScriptedAnswers answers({ScriptedAnswers::Enter(L"ignored", IDCANCEL)});
        ChooseCreatePassword();
        EXPECT_EQ(0u, answers.StepsLeft());
    }
    EXPECT_EQ(CString(L"first"), m_window.m_passwdDlg.m_strPassword);
    EXPECT_TRUE(m_window.m_passwdDlg.m_bPasswordSet);
    EXPECT_TRUE(ShellCallRecorder::CommandLines().empty());
    EXPECT_FALSE(m_window.IsWindowVisible());

    {
        ScriptedAnswers answers({ScriptedAnswers::Enter(L"second")});
        ChooseCreatePassword();
    }
    EXPECT_EQ(CString(L"second"), m_window.m_passwdDlg.m_strPassword);

    // Only the new password opens the prompt.
    HWND prompt = nullptr;
    ScriptedAnswers answers({ScriptedAnswers::Remember(&prompt, ScriptedAnswers::Enter(L"first")),
                             ScriptedAnswers::AcknowledgeThenEnter(&prompt, L"second"),
                             ScriptedAnswers::Press(IDOK)});
    DoubleClickTrayIcon();
    EXPECT_EQ(0u, answers.StepsLeft());
    EXPECT_TRUE(Contains(answers.Texts(), kWrongText));
    EXPECT_TRUE(m_window.IsWindowVisible());
}

TEST_F(PasswordTest, ThePromptWantsTheExactTextLetterCaseAndSpacesIncluded) {
    m_window.m_passwdDlg.m_strPassword = L"Secret";
    m_window.m_passwdDlg.m_bPasswordSet = true;
    HideWindow();

    HWND prompt = nullptr;
    bool masked = false;
    ScriptedAnswers answers(
        {ScriptedAnswers::Remember(&prompt,
                                   [&](HWND dialog) {
                                       masked =
                                           (GetWindowLongW(GetDlgItem(dialog, IDC_PASSWORD_EDIT), GWL_STYLE) &
                                            ES_PASSWORD) != 0;
                                       ScriptedAnswers::Enter(L"secret")(dialog);
                                   }),
         ScriptedAnswers::AcknowledgeThenEnter(&prompt, L"Secret "),
         ScriptedAnswers::AcknowledgeThenEnter(&prompt, L"Secret"), ScriptedAnswers::Press(IDOK)});
    DoubleClickTrayIcon();

    EXPECT_EQ(0u, answers.StepsLeft());
    const std::vector<std::wstring> expected = {L"请输入密码", AfxGetAppName(), AfxGetAppName(),
                                                AfxGetAppName()};
    EXPECT_EQ(expected, answers.Captions());
    EXPECT_EQ(2, std::count(answers.Texts().begin(), answers.Texts().end(), std::wstring(kWrongText)));
    EXPECT_TRUE(Contains(answers.Texts(), kRightText));
    EXPECT_TRUE(masked);
    EXPECT_TRUE(m_window.m_checkPasswdDlg.m_bPassed);
    EXPECT_EQ(CString(L"Secret"), m_window.m_checkPasswdDlg.m_strInput);
    EXPECT_TRUE(m_window.IsWindowVisible());
    EXPECT_FALSE(m_window.IsIconic());

    // Every later restore asks again; Cancel leaves the window hidden.
    HideWindow();
    ScriptedAnswers cancelled({ScriptedAnswers::Enter(L"Secret", IDCANCEL)});
    DoubleClickTrayIcon();
    EXPECT_EQ(0u, cancelled.StepsLeft());
    EXPECT_FALSE(m_window.m_checkPasswdDlg.m_bPassed);
    EXPECT_FALSE(m_window.IsWindowVisible());
}
