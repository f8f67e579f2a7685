// explorer_drag.exe: the drag a user makes from the system's own file manager onto the first page's
// list, played with real mouse input. It makes a folder "fx" holding Alpha.exe, starts Dalvorin.exe
// (from this program's folder) and the file manager on that folder, places the two windows side by
// side, presses the mouse on the file's row, moves it in steps onto the list and lets go. Then it
// reads the list from outside. Exit code 0 and "explorer drag: Alpha.exe added once" when exactly one
// row for the file appeared, 1 otherwise. Both windows are closed again and the folder removed.
#include "res/resource.h"
#include "support/RemoteListRows.h"
#include "support/E2EProgram.h"

#include <windows.h>
#include <commctrl.h>

#include <cstdio>
#include <string>
#include <vector>

namespace {

constexpr wchar_t kMainTitle[] = L"Nivvo桌面管理";
constexpr wchar_t kFolderName[] = L"fx";
constexpr wchar_t kFileName[] = L"Alpha.exe";
constexpr int kDragSteps = 16;
constexpr DWORD kStepMs = 40;

std::wstring ModuleFolder() {
    wchar_t path[MAX_PATH] = {};
    const DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring folder(path, length);
    return folder.substr(0, folder.find_last_of(L'\\'));
}

// The folder the file manager shows, with the one file to drag; removed again on the way out.
class CDragFolder {
public:
    CDragFolder() {
        wchar_t temp[MAX_PATH] = {};
        GetTempPathW(MAX_PATH, temp);
        m_folder = std::wstring(temp) + kFolderName;
        m_file = m_folder + L"\\" + kFileName;
        CreateDirectoryW(m_folder.c_str(), nullptr);
        const HANDLE file = CreateFileW(m_file.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        m_made = file != INVALID_HANDLE_VALUE;
        if (m_made) {
            CloseHandle(file);
        }
    }
    ~CDragFolder() {
        DeleteFileW(m_file.c_str());
        RemoveDirectoryW(m_folder.c_str());
    }
    CDragFolder(const CDragFolder&) = delete;
    CDragFolder& operator=(const CDragFolder&) = delete;

    bool Made() const { return m_made; }
    const std::wstring& Folder() const { return m_folder; }
    const std::wstring& File() const { return m_file; }

private:
    std::wstring m_folder;
    std::wstring m_file;
    bool m_made = false;
};

struct CChildSearch {
    int controlId;
    HWND found;
};

BOOL CALLBACK CheckChild(HWND child, LPARAM param) {
    auto* wanted = reinterpret_cast<CChildSearch*>(param);
    wchar_t className[32] = {};
    GetClassNameW(child, className, 32);
    if (lstrcmpW(className, WC_LISTVIEWW) == 0 && IsWindowVisible(child) &&
        (wanted->controlId == 0 || GetDlgCtrlID(child) == wanted->controlId)) {
        wanted->found = child;
        return FALSE;
    }
    return TRUE;
}

// The first visible list view among a window's children (of one control id, or any when 0).
HWND FindVisibleList(HWND window, int controlId) {
    CChildSearch search = {controlId, nullptr};
    EnumChildWindows(window, CheckChild, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

int RowsNamingFile(HANDLE process, HWND list, const std::wstring& path) {
    int rows = 0;
    for (const remote::ListRow& row : remote::ReadRows(process, list)) {
        rows += row.name == kFileName && row.path == path ? 1 : 0;
    }
    return rows;
}

// A mouse event at a screen point, through the system's input queue as the mouse's own are.
void SendMouse(POINT at, DWORD flags) {
    INPUT input = {};
    input.type = INPUT_MOUSE;
    input.mi.dx = MulDiv(at.x, 65535, GetSystemMetrics(SM_CXSCREEN) - 1);
    input.mi.dy = MulDiv(at.y, 65535, GetSystemMetrics(SM_CYSCREEN) - 1);
    input.mi.dwFlags = flags | MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
    SendInput(1, &input, sizeof(input));
    Sleep(kStepMs);
}

void Drag(POINT from, POINT to) {
    SendMouse(from, 0);
    SendMouse(from, MOUSEEVENTF_LEFTDOWN);
    for (int step = 1; step <= kDragSteps; ++step) {
        const POINT at = {from.x + (to.x - from.x) * step / kDragSteps,
                          from.y + (to.y - from.y) * step / kDragSteps};
        SendMouse(at, 0);
    }
    Sleep(300);  // the drop target's first DragOver arrives on a timer tick
    SendMouse(to, MOUSEEVENTF_LEFTUP);
}

bool StartDetached(std::wstring commandLine) {
    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process = {};
    if (!CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                        &process)) {
        return false;
    }
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return true;
}

POINT Centre(const RECT& rect) { return {(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2}; }

int Fail(const char* what) {
    std::printf("explorer drag: %s\n", what);
    std::fflush(stdout);
    return 1;
}

}  // namespace

int wmain() {
    CDragFolder folder;
    if (!folder.Made()) {
        return Fail("cannot make the folder to drag from");
    }
    e2e::Program launcher(ModuleFolder() + L"\\Dalvorin.exe");
    const HWND main = launcher.Started() ? e2e::WaitForVisibleWindow(kMainTitle, launcher.Id()) : nullptr;
    const HWND list = main != nullptr ? FindVisibleList(main, IDC_ENTRY_LIST) : nullptr;
    if (list == nullptr) {
        return Fail("Dalvorin.exe did not show its list");
    }

    wchar_t windows[MAX_PATH] = {};
    GetWindowsDirectoryW(windows, MAX_PATH);
    // On Windows the started copy may hand the folder to the running shell and end: the window is
    // found by its title, whichever process shows it.
    if (!StartDetached(L"\"" + std::wstring(windows) + L"\\explorer.exe\" \"" + folder.Folder() + L"\"")) {
        return Fail("cannot start the file manager");
    }
    const HWND browser = e2e::WaitForVisibleWindow(kFolderName, 0);
    const HWND files = browser != nullptr ? FindVisibleList(browser, 0) : nullptr;
    DWORD browserProcessId = 0;
    GetWindowThreadProcessId(browser, &browserProcessId);
    const HANDLE browserProcess =
        OpenProcess(PROCESS_VM_OPERATION | PROCESS_QUERY_INFORMATION, FALSE, browserProcessId);
    if (files == nullptr || browserProcess == nullptr) {
        if (browserProcess != nullptr) {
            CloseHandle(browserProcess);
        }
        return Fail("the file manager did not show the folder");
    }

    SetWindowPos(browser, HWND_TOP, 0, 0, 560, 450, SWP_SHOWWINDOW);
    SetWindowPos(main, HWND_TOP, 580, 0, 0, 0, SWP_NOSIZE | SWP_SHOWWINDOW);
    SetForegroundWindow(browser);
    Sleep(500);
    const RECT fileRect = remote::ItemScreenRect(browserProcess, files, 0);
    RECT listRect = {};
    GetWindowRect(list, &listRect);
    const int before = RowsNamingFile(launcher.Process(), list, folder.File());
    Drag(Centre(fileRect), Centre(listRect));

    int after = before;
    e2e::WaitUntil([&] { return (after = RowsNamingFile(launcher.Process(), list, folder.File())) > before; },
                   10000);
    Sleep(500);  // a second add, if one were coming, would land now
    after = RowsNamingFile(launcher.Process(), list, folder.File());

    PostMessageW(browser, WM_CLOSE, 0, 0);
    PostMessageW(main, WM_CLOSE, 0, 0);
    launcher.WaitForExit(10000);
    CloseHandle(browserProcess);
    if (after - before != 1) {
        std::printf("explorer drag: %d rows for %ls added (expected 1)\n", after - before, kFileName);
        std::fflush(stdout);
        return 1;
    }
    std::printf("explorer drag: %ls added once\n", kFileName);
    std::fflush(stdout);
    return 0;
}
