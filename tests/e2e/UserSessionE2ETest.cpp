// The real program driven from outside as a user would: a second start while it runs, and a
// session with a copy of it in a folder of its own, started from another folder (About box,
// restore from the notification-area icon, the private-space scripts that lie beside it).
#include "res/resource.h"
#include "support/RemoteSharedMemory.h"
#include "tests/common/TestPaths.h"
#include "support/E2EProgram.h"

#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using e2e::Program;
using e2e::WaitForVisibleWindow;
using e2e::WaitUntil;
using e2e::Windows;

constexpr wchar_t kTitle[] = L"Nivvo桌面管理";

// Clicks a tab at the middle of its rectangle, read through memory both processes see.
void ClickTab(HANDLE process, HWND tab, int index) {
    RemoteSharedMemory memory(process, sizeof(RECT));
    ASSERT_TRUE(memory.Valid());
    ASSERT_TRUE(SendMessageW(tab, TCM_GETITEMRECT, index, reinterpret_cast<LPARAM>(memory.Remote<RECT>())));
    const RECT rect = *memory.Local<RECT>();
    const LPARAM point = MAKELPARAM((rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2);
    PostMessageW(tab, WM_LBUTTONDOWN, MK_LBUTTON, point);
    PostMessageW(tab, WM_LBUTTONUP, 0, point);
}

BOOL CALLBACK FindOpenButton(HWND child, LPARAM param) {
    if (GetDlgCtrlID(child) != IDC_OPEN_PRIVATE) {
        return TRUE;
    }
    *reinterpret_cast<HWND*>(param) = child;
    return FALSE;
}

bool Exists(const std::wstring& path) { return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

// A folder under the temporary folder, removed with the files the test puts there.
struct Folder {
    explicit Folder(const std::wstring& name) {
        wchar_t temp[MAX_PATH] = {};
        GetTempPathW(MAX_PATH, temp);
        path = temp + name + std::to_wstring(GetCurrentProcessId());
        CreateDirectoryW(path.c_str(), nullptr);
    }
    ~Folder() {
        for (const wchar_t* file : {L"Dalvorin.exe", L"systemopen.bat", L"systemclose.bat", L"opened.txt",
                                    L"closed.txt", L"decoy.txt"}) {
            DeleteFileW(File(file).c_str());
        }
        RemoveDirectoryW(path.c_str());
    }
    std::wstring File(const wchar_t* name) const { return path + L"\\" + name; }
    // A script that leaves `marker` beside itself.
    void WriteScript(const wchar_t* name, const std::string& marker) const {
        const std::string text = "@echo off\r\necho done> \"%~dp0" + marker + "\"\r\n";
        HANDLE file = CreateFileW(File(name).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        DWORD written = 0;
        WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
        CloseHandle(file);
    }
    std::wstring path;
};

}  // namespace

TEST(UserSessionEndToEnd, ASecondStartHandsOverToTheHiddenRunningCopyWhichShowsItselfAndEnds) {
    Program first(test_paths::BinFile(L"Dalvorin.exe"));
    ASSERT_TRUE(first.Started());
    HWND window = WaitForVisibleWindow(kTitle, first.Id(), 60000);
    ASSERT_NE(nullptr, window);
    PostMessageW(window, WM_SYSCOMMAND, SC_MINIMIZE, 0);
    ASSERT_TRUE(WaitUntil([&] { return !IsWindowVisible(window); }));

    Program second(test_paths::BinFile(L"Dalvorin.exe"));
    ASSERT_TRUE(second.Started());
    EXPECT_EQ(0u, second.WaitForExit(40000)) << "the second start did not end by itself";
    EXPECT_TRUE(WaitUntil([&] { return IsWindowVisible(window) && !IsIconic(window); })) << "not shown again";
    EXPECT_EQ(std::vector<HWND>{window}, Windows(kTitle, 0)) << "one main window, one notification-area icon";

    PostMessageW(window, WM_CLOSE, 0, 0);
    EXPECT_EQ(0u, first.WaitForExit(30000));
}

TEST(UserSessionEndToEnd, AboutBoxTrayRestoreAndThePrivateSpaceScriptsBesideTheProgram) {
    const Folder program(L"dalvorin e2e 한글 program ");  // a name the ANSI code page cannot spell
    const Folder start(L"dalvorin e2e start ");
    ASSERT_TRUE(
        CopyFileW(test_paths::BinFile(L"Dalvorin.exe").c_str(), program.File(L"Dalvorin.exe").c_str(), 0));
    program.WriteScript(L"systemopen.bat", "opened.txt");
    program.WriteScript(L"systemclose.bat", "closed.txt");
    start.WriteScript(L"systemopen.bat", "decoy.txt");  // must not be the one that runs

    Program running(program.File(L"Dalvorin.exe"), start.path);
    ASSERT_TRUE(running.Started());
    HWND window = WaitForVisibleWindow(kTitle, running.Id(), 60000);
    ASSERT_NE(nullptr, window);

    PostMessageW(window, WM_SYSCOMMAND, IDM_ABOUTBOX, 0);
    HWND about = WaitForVisibleWindow(L"关于 Dalvorin", running.Id());
    ASSERT_NE(nullptr, about);
    PostMessageW(about, WM_COMMAND, IDOK, 0);
    EXPECT_TRUE(WaitUntil([&] { return !IsWindow(about); }));

    PostMessageW(window, WM_SYSCOMMAND, SC_MINIMIZE, 0);
    ASSERT_TRUE(WaitUntil([&] { return !IsWindowVisible(window); }));
    PostMessageW(window, WM_USER + 10, 128, WM_LBUTTONDBLCLK);
    ASSERT_TRUE(WaitUntil([&] { return IsWindowVisible(window) && !IsIconic(window); })) << "not restored";

    HWND tab = GetDlgItem(window, IDC_TAB);
    ClickTab(running.Process(), tab, 2);
    HWND open = nullptr;
    EnumChildWindows(window, FindOpenButton, reinterpret_cast<LPARAM>(&open));
    ASSERT_NE(nullptr, open);
    ASSERT_TRUE(WaitUntil([&] { return IsWindowVisible(open) != FALSE; })) << "the page did not show";
    PostMessageW(open, BM_CLICK, 0, 0);
    HWND announcement = WaitForVisibleWindow(L"恭喜", running.Id());
    ASSERT_NE(nullptr, announcement);
    EXPECT_TRUE(WaitUntil([&] { return Exists(program.File(L"opened.txt")); })) << "the script beside it";
    EXPECT_FALSE(Exists(start.File(L"decoy.txt"))) << "the script of the start folder ran";
    PostMessageW(announcement, WM_COMMAND, IDOK, 0);
    EXPECT_TRUE(WaitUntil([&] { return !IsWindow(announcement); }));

    PostMessageW(GetDlgItem(GetParent(open), IDC_CLOSE_PRIVATE), BM_CLICK, 0, 0);
    EXPECT_TRUE(WaitUntil([&] { return Exists(program.File(L"closed.txt")); })) << "the closing script";
    PostMessageW(window, WM_CLOSE, 0, 0);
    EXPECT_EQ(0u, running.WaitForExit(30000));
}
