// Starts the real program, reads its window from outside and ends it with Esc.
#include "res/resource.h"
#include "tests/common/RemoteSharedMemory.h"

#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <string>

namespace {

std::wstring ProgramPath() {
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring folder(path);
    return folder.substr(0, folder.rfind(L'\\') + 1) + L"Dalvorin.exe";
}

HWND WaitForVisibleWindow(const wchar_t* title, DWORD timeoutMs) {
    const DWORD start = GetTickCount();
    while (GetTickCount() - start < timeoutMs) {
        HWND hwnd = FindWindowW(nullptr, title);
        if (hwnd != nullptr && IsWindowVisible(hwnd)) {
            return hwnd;
        }
        Sleep(100);
    }
    return nullptr;
}

// Text of a tab item of a tab control in another process: the item record and its text buffer
// live in memory that both processes see.
std::wstring RemoteTabText(HANDLE process, HWND tab, int index) {
    struct Shared {
        TCITEMW item;
        wchar_t text[64];
    };
    RemoteSharedMemory memory(process, sizeof(Shared));
    if (!memory.Valid()) {
        return L"<no shared memory>";
    }
    Shared* local = memory.Local<Shared>();
    local->item.mask = TCIF_TEXT;
    local->item.pszText = memory.Remote<Shared>()->text;
    local->item.cchTextMax = 64;
    SendMessageW(tab, TCM_GETITEMW, static_cast<WPARAM>(index),
                 reinterpret_cast<LPARAM>(&memory.Remote<Shared>()->item));
    local->text[63] = L'\0';
    return local->text;
}

class RunningProgram {
public:
    RunningProgram() {
        std::wstring commandLine = L"\"" + ProgramPath() + L"\"";
        STARTUPINFOW startup = {};
        startup.cb = sizeof(startup);
        m_started = CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                                   &startup, &m_process) != FALSE;
    }
    ~RunningProgram() {
        if (m_started) {
            if (WaitForSingleObject(m_process.hProcess, 0) == WAIT_TIMEOUT) {
                TerminateProcess(m_process.hProcess, 1);
            }
            CloseHandle(m_process.hThread);
            CloseHandle(m_process.hProcess);
        }
    }
    bool Started() const { return m_started; }
    HANDLE Process() const { return m_process.hProcess; }

private:
    PROCESS_INFORMATION m_process = {};
    bool m_started = false;
};

}  // namespace

TEST(MainWindowEndToEnd, ShowsItsTabsAndSearchTextAndEndsOnEscape) {
    RunningProgram program;
    ASSERT_TRUE(program.Started()) << "cannot start "
                                   << std::string(ProgramPath().begin(), ProgramPath().end());
    HWND window = WaitForVisibleWindow(L"Nivvo桌面管理", 60000);
    ASSERT_NE(nullptr, window);

    HWND tab = GetDlgItem(window, IDC_TAB);
    ASSERT_NE(nullptr, tab);
    ASSERT_EQ(3, SendMessageW(tab, TCM_GETITEMCOUNT, 0, 0));
    EXPECT_EQ(L"常用软件", RemoteTabText(program.Process(), tab, 0));
    EXPECT_EQ(L"文件管理", RemoteTabText(program.Process(), tab, 1));
    EXPECT_EQ(L"私人空间", RemoteTabText(program.Process(), tab, 2));
    EXPECT_EQ(0, SendMessageW(tab, TCM_GETCURSEL, 0, 0));

    HWND search = GetDlgItem(window, IDC_SEARCH_EDIT);
    wchar_t text[64] = {};
    SendMessageW(search, WM_GETTEXT, 64, reinterpret_cast<LPARAM>(text));
    EXPECT_STREQ(L"百度我是你大爷", text);

    PostMessageW(search, WM_KEYDOWN, VK_ESCAPE, 0);
    ASSERT_EQ(WAIT_OBJECT_0, WaitForSingleObject(program.Process(), 30000))
        << "the program did not end on Esc";
    DWORD exitCode = 1;
    GetExitCodeProcess(program.Process(), &exitCode);
    EXPECT_EQ(0u, exitCode);
}
