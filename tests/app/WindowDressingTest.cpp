// The About box of the system menu, the Start button's menu, drops on the window.
#include "app/DalvorinDlg.h"
#include "tests/app/TestDriving.h"
#include "tests/common/DropFiles.h"
#include "tests/common/MessagePump.h"
#include "tests/common/ShellCallRecorder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

std::wstring WindowText(HWND hwnd) {
    wchar_t text[2048] = {};
    GetWindowTextW(hwnd, text, 2048);
    return text;
}

// The About box's text lines (not its icon), each checked to fit its control in the dialog's font.
BOOL CALLBACK CollectFittingLine(HWND child, LPARAM param) {
    const std::wstring text = WindowText(child);
    if (GetDlgCtrlID(child) == IDOK || (GetWindowLongW(child, GWL_STYLE) & SS_TYPEMASK) == SS_ICON) {
        return TRUE;
    }
    HDC dc = GetDC(child);
    HGDIOBJ old = SelectObject(dc, reinterpret_cast<HGDIOBJ>(SendMessageW(child, WM_GETFONT, 0, 0)));
    SIZE extent = {};
    GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &extent);
    SelectObject(dc, old);
    ReleaseDC(child, dc);
    RECT client;
    GetClientRect(child, &client);
    reinterpret_cast<std::vector<std::wstring>*>(param)->push_back(
        extent.cx <= client.right ? text : L"cut: " + text);
    return TRUE;
}

class WindowDressingTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(m_window.Create(CDalvorinDlg::IDD));
        ScriptedAnswers::Ignore(m_window);
    }
    CDalvorinDlg m_window;
};

}  // namespace

TEST_F(WindowDressingTest, TheAboutEntryOpensTheAboutBoxWhateverItsLowFourBitsOtherCommandsActAsUsual) {
    for (UINT command : {0x0010u, 0x001Fu}) {
        std::vector<std::wstring> lines;
        DialogAutoResponder about([&](HWND dialog) {
            EnumChildWindows(dialog, CollectFittingLine, reinterpret_cast<LPARAM>(&lines));
            DialogAutoResponder::PressButton(dialog, IDOK);
        });
        m_window.SendMessage(WM_SYSCOMMAND, command, 0);
        EXPECT_EQ(std::vector<std::wstring>{L"关于 Dalvorin"}, about.Captions());
        ASSERT_EQ(2u, lines.size());
        EXPECT_EQ(L"Dalvorin，1.0 版", lines[0]);
        EXPECT_FALSE(lines[1].empty());
        EXPECT_NE(0u, lines[1].rfind(L"cut: ", 0)) << "the third line does not fit";
    }
    ScriptedAnswers none({});
    m_window.SendMessage(WM_SYSCOMMAND, SC_MINIMIZE, 0);
    EXPECT_TRUE(none.Captions().empty());
    EXPECT_FALSE(m_window.IsWindowVisible());
}

TEST_F(WindowDressingTest, TheStartMenuListsTheEntryCommandsAndChoosingOneChangesNothing) {
    ShellCallRecorder recorder;
    HWND list = ::GetDlgItem(m_window.m_fileToolPage, IDC_ENTRY_LIST);
    const LRESULT rows = SendMessageW(list, LVM_GETITEMCOUNT, 0, 0);
    const std::vector<std::wstring> items = {L"删除图标", L"定位文件",        L"打开",     L"剪切",
                                             L"黏贴",     L"设置热键",        L"修改资料", L"上移图标",
                                             L"下移图标", L"创建桌面快捷方式"};
    for (int index : {0, 2}) {
        MenuDriver choose(index);
        ::SendMessageW(m_window.m_startButton, BM_CLICK, 0, 0);
        EXPECT_EQ(items, MenuDriver::Items());
        MSG command = {};
        EXPECT_TRUE(PeekMessageW(&command, m_window, WM_COMMAND, WM_COMMAND, PM_NOREMOVE));
        EXPECT_EQ(index == 0 ? ID_ENTRY_DELETE : ID_ENTRY_OPEN, LOWORD(command.wParam));
        PumpPendingMessages();
    }
    EXPECT_EQ(rows, SendMessageW(list, LVM_GETITEMCOUNT, 0, 0));
    EXPECT_EQ(0u, ShellCallRecorder::Calls().size() + ShellCallRecorder::CommandLines().size());
    EXPECT_EQ(L"Nivvo桌面管理", WindowText(m_window));
}

TEST_F(WindowDressingTest, ADropPutsTheLastFullPathIntoTheTitleWhateverTheLengthsAnEmptyOneNothing) {
    const std::wstring longest = L"C:\\" + std::wstring(997, L'x');
    m_window.SendMessage(WM_DROPFILES, reinterpret_cast<WPARAM>(MakeDrop({L"C:\\" + std::wstring(259, L'c'),
                                                                          L"x", L"D:\\只有.lnk", longest})));
    EXPECT_EQ(longest, WindowText(m_window));
    // A block without a file (its count may still say one) leaves the title alone.
    m_window.SendMessage(WM_DROPFILES, reinterpret_cast<WPARAM>(MakeDrop({})));
    EXPECT_EQ(longest, WindowText(m_window));
    EXPECT_EQ(reinterpret_cast<LRESULT>(m_window.m_hIcon), m_window.SendMessage(WM_QUERYDRAGICON));
}

namespace {

std::vector<HWND> g_colourChangeSeen;

LRESULT CALLBACK RecordColourChanges(int code, WPARAM wParam, LPARAM lParam) {
    const auto* call = reinterpret_cast<const CWPSTRUCT*>(lParam);
    if (code == HC_ACTION && call->message == WM_SYSCOLORCHANGE) {
        g_colourChangeSeen.push_back(call->hwnd);
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

bool Seen(HWND hwnd) {
    return hwnd != nullptr &&
           std::find(g_colourChangeSeen.begin(), g_colourChangeSeen.end(), hwnd) != g_colourChangeSeen.end();
}

}  // namespace

// The system tells only top-level windows; the buttons and lists inside must hear of it as well.
TEST(WindowColours, AColourChangeReachesEveryControlInsideTheWindow) {
    CDalvorinDlg window;
    ASSERT_TRUE(window.Create(CDalvorinDlg::IDD));
    g_colourChangeSeen.clear();
    const HHOOK hook = SetWindowsHookExW(WH_CALLWNDPROC, RecordColourChanges, nullptr, GetCurrentThreadId());
    window.SendMessage(WM_SYSCOLORCHANGE);
    UnhookWindowsHookEx(hook);
    EXPECT_TRUE(Seen(window.m_startButton.m_hWnd));
    EXPECT_TRUE(Seen(window.m_tab.m_hWnd));
    EXPECT_TRUE(Seen(::GetDlgItem(window.m_fileToolPage, IDC_ENTRY_LIST)));
    EXPECT_TRUE(Seen(::GetDlgItem(window.m_hideToolPage, IDC_OPEN_PRIVATE)));
    window.DestroyWindow();
}
