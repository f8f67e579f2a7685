// A user's session with a copy of the program in a folder of its own, started from another
// folder: the About box from the system menu, a restore from the notification-area icon, and the
// private-space buttons running the scripts that lie beside the program.
#include "res/resource.h"
#include "tests/common/RemoteSharedMemory.h"
#include "tests/common/TestPaths.h"
#include "tests/e2e/ProgramHarness.h"

#include <commctrl.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

constexpr wchar_t kTitle[] = L"Nivvo桌面管理";

bool FileExists(const std::wstring& path) {
    return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

// A folder under the temporary folder with the given files, removed with everything in it.
class Folder {
public:
    explicit Folder(const std::wstring& name) {
        wchar_t temp[MAX_PATH] = {};
        GetTempPathW(MAX_PATH, temp);
        m_path = std::wstring(temp) + name + L" " + std::to_wstring(GetCurrentProcessId());
        CreateDirectoryW(m_path.c_str(), nullptr);
    }
    ~Folder() {
        for (const wchar_t* leftover : {L"opened.txt", L"closed.txt", L"decoy.txt"}) {
            DeleteFileW(File(leftover).c_str());
        }
        for (const std::wstring& file : m_files) {
            DeleteFileW(file.c_str());
        }
        RemoveDirectoryW(m_path.c_str());
    }
    Folder(const Folder&) = delete;
    Folder& operator=(const Folder&) = delete;

    std::wstring File(const wchar_t* name) const { return m_path + L"\\" + name; }
    void Write(const wchar_t* name, const std::string& content) {
        HANDLE file = CreateFileW(File(name).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        DWORD written = 0;
        WriteFile(file, content.data(), static_cast<DWORD>(content.size()), &written, nullptr);
        CloseHandle(file);
        m_files.push_back(File(name));
    }
    bool Copy(const std::wstring& from, const wchar_t* name) {
        m_files.push_back(File(name));
        return CopyFileW(from.c_str(), File(name).c_str(), FALSE) != FALSE;
    }
    const std::wstring& Path() const { return m_path; }

private:
    std::wstring m_path;
    std::vector<std::wstring> m_files;
};

// A script that leaves `marker` beside itself.
std::string MarkerScript(const char* marker) {
    return std::string("@echo off\r\necho done> \"%~dp0") + marker + "\"\r\n";
}

BOOL CALLBACK FindControl(HWND child, LPARAM param) {
    auto* wanted = reinterpret_cast<std::pair<int, HWND>*>(param);
    wchar_t className[16] = {};
    GetClassNameW(child, className, 16);
    if (GetDlgCtrlID(child) == wanted->first && lstrcmpiW(className, L"Button") == 0) {
        wanted->second = child;
        return FALSE;
    }
    return TRUE;
}

HWND FindButton(HWND window, int id) {
    std::pair<int, HWND> wanted = {id, nullptr};
    EnumChildWindows(window, FindControl, reinterpret_cast<LPARAM>(&wanted));
    return wanted.second;
}

// Clicks tab `index` at the middle of its rectangle, read through memory both processes see.
bool ClickTab(HANDLE process, HWND tab, int index) {
    RemoteSharedMemory memory(process, sizeof(RECT));
    if (!memory.Valid() || !SendMessageW(tab, TCM_GETITEMRECT, static_cast<WPARAM>(index),
                                         reinterpret_cast<LPARAM>(memory.Remote<RECT>()))) {
        return false;
    }
    const RECT rect = *memory.Local<RECT>();
    const LPARAM point = MAKELPARAM((rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2);
    PostMessageW(tab, WM_LBUTTONDOWN, MK_LBUTTON, point);
    PostMessageW(tab, WM_LBUTTONUP, 0, point);
    return true;
}

}  // namespace

TEST(UserSessionEndToEnd, AboutBoxTrayRestoreAndThePrivateSpaceScriptsBesideTheProgram) {
    Folder programFolder(L"dalvorin e2e 한글 program");  // a name the ANSI code page cannot spell
    Folder startFolder(L"dalvorin e2e start");
    ASSERT_TRUE(programFolder.Copy(test_paths::BinFile(L"Dalvorin.exe"), L"Dalvorin.exe"));
    programFolder.Write(L"systemopen.bat", MarkerScript("opened.txt"));
    programFolder.Write(L"systemclose.bat", MarkerScript("closed.txt"));
    startFolder.Write(L"systemopen.bat", MarkerScript("decoy.txt"));  // must not be the one run

    e2e::Program program(programFolder.File(L"Dalvorin.exe"), startFolder.Path());
    ASSERT_TRUE(program.Started());
    HWND window = e2e::WaitForWindow(kTitle, program.Id(), 60000);
    ASSERT_NE(nullptr, window) << "the main window did not appear";

    // The About entry of the system menu.
    PostMessageW(window, WM_SYSCOMMAND, IDM_ABOUTBOX, 0);
    HWND about = e2e::WaitForWindow(L"关于 Dalvorin", program.Id(), 20000);
    ASSERT_NE(nullptr, about) << "no About box";
    const std::vector<std::wstring> lines = e2e::StaticTexts(about);
    ASSERT_EQ(2u, lines.size());
    EXPECT_EQ(L"Dalvorin，1.0 版", lines[0]);
    EXPECT_FALSE(lines[1].empty());
    PostMessageW(about, WM_COMMAND, IDOK, 0);
    EXPECT_TRUE(e2e::WaitUntil([&] { return !IsWindow(about); }, 20000)) << "the About box stayed";

    // Into the notification area and back with a double click on the icon.
    PostMessageW(window, WM_SYSCOMMAND, SC_MINIMIZE, 0);
    ASSERT_TRUE(e2e::WaitUntil([&] { return !IsWindowVisible(window); }, 20000));
    PostMessageW(window, WM_USER + 10, 128, WM_LBUTTONDBLCLK);
    ASSERT_TRUE(e2e::WaitUntil([&] { return IsWindowVisible(window) && !IsIconic(window); }, 20000))
        << "the double click did not restore the window";

    // The private-space page: open, acknowledge the announcement, close.
    ASSERT_TRUE(ClickTab(program.Process(), GetDlgItem(window, IDC_TAB), 2));
    HWND open = FindButton(window, IDC_OPEN_PRIVATE);
    ASSERT_NE(nullptr, open);
    ASSERT_TRUE(e2e::WaitUntil([&] { return IsWindowVisible(open) != FALSE; }, 20000))
        << "the page did not show";
    PostMessageW(open, BM_CLICK, 0, 0);
    HWND announcement = e2e::WaitForWindow(L"恭喜", program.Id(), 30000);
    ASSERT_NE(nullptr, announcement);
    EXPECT_EQ(std::vector<std::wstring>{L"你可以放入你的私密文件了"}, e2e::StaticTexts(announcement));
    EXPECT_TRUE(e2e::WaitUntil([&] { return FileExists(programFolder.File(L"opened.txt")); }, 20000))
        << "the script beside the program did not run";
    EXPECT_FALSE(FileExists(startFolder.File(L"decoy.txt"))) << "the script of the start folder ran";
    PostMessageW(announcement, WM_COMMAND, IDOK, 0);
    EXPECT_TRUE(e2e::WaitUntil([&] { return !IsWindow(announcement); }, 20000));

    PostMessageW(GetDlgItem(GetParent(open), IDC_CLOSE_PRIVATE), BM_CLICK, 0, 0);
    EXPECT_TRUE(e2e::WaitUntil([&] { return FileExists(programFolder.File(L"closed.txt")); }, 20000))
        << "the closing script beside the program did not run";

    PostMessageW(window, WM_CLOSE, 0, 0);
    EXPECT_EQ(0u, program.WaitForExit(30000));
}
