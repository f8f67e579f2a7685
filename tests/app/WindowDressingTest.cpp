// The Start button's menu, the About box of the system menu, drops on the window and its drag icon.
#include "app/DalvorinDlg.h"
#include "tests/app/MenuDriver.h"
#include "tests/app/ScriptedAnswers.h"
#include "tests/common/DialogAutoResponder.h"
#include "tests/common/DropFiles.h"
#include "tests/common/MessagePump.h"
#include "tests/common/ShellCallRecorder.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

std::wstring WindowText(HWND hwnd) {
    wchar_t text[2048] = {};
    GetWindowTextW(hwnd, text, 2048);
    return text;
}

// The static texts of a dialog, each with whether it fits its control in the dialog's font.
struct StaticLine {
    std::wstring text;
    bool fits;
};

BOOL CALLBACK CollectLine(HWND child, LPARAM param) {
    wchar_t className[16] = {};
    GetClassNameW(child, className, 16);
    const std::wstring text = WindowText(child);
    const bool icon = (GetWindowLongW(child, GWL_STYLE) & SS_TYPEMASK) == SS_ICON;
    if (lstrcmpiW(className, L"Static") != 0 || icon || text.empty()) {
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
    reinterpret_cast<std::vector<StaticLine>*>(param)->push_back({text, extent.cx <= client.right});
    return TRUE;
}

class WindowDressingTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(m_window.Create(CDalvorinDlg::IDD));
        ScriptedAnswers::Ignore(m_window);
    }
    void TearDown() override { m_window.DestroyWindow(); }

    CDalvorinDlg m_window;
};

}  // namespace

TEST_F(WindowDressingTest, TheAboutEntryOpensTheAboutBoxWhateverItsLowFourBits) {
    for (UINT command : {0x0010u, 0x0013u, 0x001Fu}) {
        std::vector<StaticLine> lines;
        DialogAutoResponder about([&](HWND dialog) {
            EnumChildWindows(dialog, CollectLine, reinterpret_cast<LPARAM>(&lines));
            DialogAutoResponder::PressButton(dialog, IDOK);
        });
        m_window.SendMessage(WM_SYSCOMMAND, command, 0);

        ASSERT_EQ(1u, about.Captions().size()) << command;
        EXPECT_EQ(L"关于 Dalvorin", about.Captions()[0]);
        ASSERT_EQ(2u, lines.size());
        EXPECT_EQ(L"Dalvorin，1.0 版", lines[0].text);
        EXPECT_TRUE(lines[0].fits);
        EXPECT_TRUE(lines[1].fits) << "the third line is cut: "
                                   << std::string(lines[1].text.begin(), lines[1].text.end());
    }
    // Other system commands keep their usual meaning.
    DialogAutoResponder none([](HWND dialog) { DialogAutoResponder::PressButton(dialog, IDCANCEL); });
    m_window.SendMessage(WM_SYSCOMMAND, SC_MINIMIZE, 0);
    EXPECT_TRUE(none.Captions().empty());
    EXPECT_FALSE(m_window.IsWindowVisible());
}

TEST_F(WindowDressingTest, TheStartMenuListsTheEntryCommandsAndChoosingOneChangesNothing) {
    ShellCallRecorder recorder;
    HWND list = ::GetDlgItem(m_window.m_fileToolPage, IDC_ENTRY_LIST);
    const LRESULT rows = SendMessageW(list, LVM_GETITEMCOUNT, 0, 0);
    const std::vector<std::wstring> expected = {L"删除图标", L"定位文件",        L"打开",     L"剪切",
                                                L"黏贴",     L"设置热键",        L"修改资料", L"上移图标",
                                                L"下移图标", L"创建桌面快捷方式"};
    for (int index : {0, 2}) {  // "删除图标", then "打开"
        MenuDriver choose(index);
        ::SendMessageW(m_window.m_startButton, BM_CLICK, 0, 0);
        EXPECT_EQ(expected, MenuDriver::Items());
        MSG command = {};
        EXPECT_TRUE(PeekMessageW(&command, m_window, WM_COMMAND, WM_COMMAND, PM_NOREMOVE));
        EXPECT_EQ(index == 0 ? ID_ENTRY_DELETE : ID_ENTRY_OPEN, LOWORD(command.wParam));
        PumpPendingMessages();
    }
    EXPECT_EQ(rows, SendMessageW(list, LVM_GETITEMCOUNT, 0, 0));
    EXPECT_EQ(0u, ShellCallRecorder::Calls().size() + ShellCallRecorder::CommandLines().size());
    EXPECT_TRUE(m_window.IsWindowVisible());
    EXPECT_EQ(L"Nivvo桌面管理", WindowText(m_window));
}

TEST_F(WindowDressingTest, ADropPutsTheLastFullPathIntoTheTitleWhateverTheLengths) {
    const std::wstring longest = L"C:\\" + std::wstring(997, L'x');
    const std::vector<std::wstring> paths = {L"C:\\a.txt", L"C:\\" + std::wstring(258, L'b'),
                                             L"C:\\" + std::wstring(259, L'c'), L"x", longest};
    m_window.SendMessage(WM_DROPFILES, reinterpret_cast<WPARAM>(MakeDrop(paths)));
    EXPECT_EQ(longest, WindowText(m_window));

    m_window.SendMessage(WM_DROPFILES, reinterpret_cast<WPARAM>(MakeDrop({L"D:\\只有一个.lnk"})));
    EXPECT_EQ(L"D:\\只有一个.lnk", WindowText(m_window));
    // A block without a file (the count may still say one) leaves the title alone.
    m_window.SendMessage(WM_DROPFILES, reinterpret_cast<WPARAM>(MakeDrop({})));
    EXPECT_EQ(L"D:\\只有一个.lnk", WindowText(m_window));

    EXPECT_EQ(reinterpret_cast<LRESULT>(m_window.m_hIcon), m_window.SendMessage(WM_QUERYDRAGICON));
}

TEST_F(WindowDressingTest, TheBackgroundIsThePatternTiledFromTheClientOriginOutlinedInBlack) {
    ::RedrawWindow(m_window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    HBITMAP pattern = LoadBitmapW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDB_BACKGROUND));
    ASSERT_NE(nullptr, pattern);
    HDC source = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(source, pattern);
    HDC window = GetDC(m_window);
    EXPECT_EQ(RGB(0, 0, 0), GetPixel(window, 0, 0));
    EXPECT_EQ(RGB(0, 0, 0), GetPixel(window, 5, 0));
    EXPECT_EQ(RGB(0, 0, 0), GetPixel(window, 0, 5));
    for (POINT at : {POINT{3, 3}, POINT{7, 2}, POINT{2, 300}, POINT{240, 5}, POINT{5, 250}}) {
        EXPECT_EQ(GetPixel(source, at.x % 238, at.y % 246), GetPixel(window, at.x, at.y))
            << at.x << "," << at.y;
    }
    ReleaseDC(m_window, window);
    SelectObject(source, old);
    DeleteDC(source);
    DeleteObject(pattern);
}
