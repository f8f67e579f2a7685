// tray_probe.exe QUERY: what tools/tray_click.sh needs to know of the launcher between its real
// mouse clicks. One line on standard output, exit code 0; 1 when the thing asked for is not there.
//   window [PATTERN]
//              "visible=V iconic=I menu=M foreground=F": the main window's state, whether a menu
//              of its process is open, and whose window is in the foreground (ours, other, none);
//              with PATTERN, once the state holds it, waiting up to 10 s (exit code 1 after that)
//   minbox     "X Y": a screen point on the main window's minimise box
//   icon       "X Y": the centre of the first icon in the runtime's own notification-area window,
//              which is raised above the other windows first (it may lie under ours at the corner)
//   menuitem   "X Y": the centre of the first item of the open menu
//   menubar    "X Y": the centre of the first item of the main window's menu bar
//   control TITLE ID
//              "X Y": the centre of control ID of the dialog titled TITLE
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cwchar>
#include <string>
#include <string_view>

namespace {

constexpr wchar_t kMainTitle[] = L"Nivvo桌面管理";
constexpr wchar_t kMenuClass[] = L"#32768";
// Wine's notification-area window on a display without a panel of its own: Wine 8 makes a window
// of its own with this title; Wine 10 shows the shell's tray window, untitled, instead.
constexpr wchar_t kTrayTitle[] = L"Wine System Tray";
constexpr wchar_t kShellTrayClass[] = L"Shell_TrayWnd";

HWND MainWindow() { return FindWindowW(L"#32770", kMainTitle); }

DWORD ProcessOf(HWND window) {
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    return process;
}

struct MenuSearch {
    DWORD process;
    HWND found;
};

BOOL CALLBACK FindMenuOfProcess(HWND window, LPARAM param) {
    auto* search = reinterpret_cast<MenuSearch*>(param);
    wchar_t className[16] = {};
    GetClassNameW(window, className, 16);
    if (std::wcscmp(className, kMenuClass) == 0 && IsWindowVisible(window) &&
        ProcessOf(window) == search->process) {
        search->found = window;
        return FALSE;
    }
    return TRUE;
}

HWND OpenMenu(HWND main) {
    MenuSearch search = {ProcessOf(main), nullptr};
    EnumWindows(FindMenuOfProcess, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

int Print(int x, int y) {
    std::printf("%d %d\n", x, y);
    return 0;
}

int Missing(const char* what) {
    std::printf("no %s\n", what);
    return 1;
}

std::string WindowState(HWND main) {
    const HWND foreground = GetForegroundWindow();
    const char* owner = foreground == nullptr                      ? "none"
                        : ProcessOf(foreground) == ProcessOf(main) ? "ours"
                                                                   : "other";
    char state[96] = {};
    std::snprintf(state, sizeof(state), "visible=%d iconic=%d menu=%d foreground=%s",
                  IsWindowVisible(main) ? 1 : 0, IsIconic(main) ? 1 : 0, OpenMenu(main) != nullptr ? 1 : 0,
                  owner);
    return state;
}

constexpr DWORD kWaitMs = 10000;
constexpr DWORD kPollMs = 100;

int AwaitWindowState(HWND main, const wchar_t* pattern) {
    char wanted[64] = {};
    WideCharToMultiByte(CP_UTF8, 0, pattern != nullptr ? pattern : L"", -1, wanted, sizeof(wanted), nullptr,
                        nullptr);
    const DWORD start = GetTickCount();
    std::string state = WindowState(main);
    while (state.find(wanted) == std::string::npos && GetTickCount() - start < kWaitMs) {
        Sleep(kPollMs);
        state = WindowState(main);
    }
    std::printf("%s\n", state.c_str());
    return state.find(wanted) != std::string::npos ? 0 : 1;
}

// The caption's buttons are drawn by the window itself: ask it where its minimise box is.
int MinimiseBox(HWND main) {
    RECT frame = {};
    GetWindowRect(main, &frame);
    const int y = frame.top + GetSystemMetrics(SM_CYFIXEDFRAME) + GetSystemMetrics(SM_CYCAPTION) / 2;
    for (int x = frame.right - 1; x > frame.left; --x) {
        if (SendMessageW(main, WM_NCHITTEST, 0, MAKELPARAM(x, y)) == HTMINBUTTON) {
            return Print(x - GetSystemMetrics(SM_CXSIZE) / 3, y);
        }
    }
    return Missing("minimise box");
}

HWND TrayWindow() {
    HWND tray = FindWindowW(nullptr, kTrayTitle);
    if (tray == nullptr || !IsWindowVisible(tray)) {
        // Under Wine 8 this is the hidden task bar; only a shown one holds the icons.
        tray = FindWindowW(kShellTrayClass, nullptr);
    }
    return tray != nullptr && IsWindowVisible(tray) ? tray : nullptr;
}

int FirstTrayIcon() {
    const HWND tray = TrayWindow();
    if (tray == nullptr) {
        return Missing("notification area");
    }
    // Raised through the window manager of the runtime rather than the X server's, so that both
    // agree on the order and the click lands on the icon; no activation, the foreground stays put.
    SetWindowPos(tray, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    RECT client = {};
    GetClientRect(tray, &client);
    POINT origin = {0, 0};
    ClientToScreen(tray, &origin);
    // Icons are laid out from the left, each in a square as high as the area.
    const int side = client.bottom - client.top;
    return Print(origin.x + side / 2, origin.y + side / 2);
}

int FirstMenuItem(HWND main) {
    const HWND menu = OpenMenu(main);
    if (menu == nullptr) {
        return Missing("menu");
    }
    RECT frame = {};
    GetWindowRect(menu, &frame);
    return Print((frame.left + frame.right) / 2, frame.top + GetSystemMetrics(SM_CYMENU) / 2 + 2);
}

// Menus of another process cannot be read: the window says where its menu bar is, and the first
// item starts at its left end.
int FirstMenuBarItem(HWND main) {
    RECT frame = {};
    GetWindowRect(main, &frame);
    const int x = frame.left + GetSystemMetrics(SM_CXFIXEDFRAME) + GetSystemMetrics(SM_CXMENUSIZE) / 2;
    for (int y = frame.top; y < frame.bottom; ++y) {
        if (SendMessageW(main, WM_NCHITTEST, 0, MAKELPARAM(x, y)) == HTMENU) {
            return Print(x, y + GetSystemMetrics(SM_CYMENU) / 2);
        }
    }
    return Missing("menu bar");
}

int ControlOfDialog(const wchar_t* title, const wchar_t* id) {
    const HWND dialog = FindWindowW(L"#32770", title);
    const HWND control = dialog != nullptr ? GetDlgItem(dialog, _wtoi(id)) : nullptr;
    if (control == nullptr) {
        return Missing("such control");
    }
    RECT rect = {};
    GetWindowRect(control, &rect);
    return Print((rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2);
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc < 2 || argc > 4) {
        return Missing("query");
    }
    const std::wstring_view query = argv[1];
    if (query == L"control" && argc == 4) {
        return ControlOfDialog(argv[2], argv[3]);
    }
    if (query == L"icon") {
        return FirstTrayIcon();
    }
    const HWND main = MainWindow();
    if (main == nullptr) {
        return Missing("main window");
    }
    if (query == L"window") {
        return AwaitWindowState(main, argc == 3 ? argv[2] : nullptr);
    }
    if (query == L"minbox") {
        return MinimiseBox(main);
    }
    if (query == L"menuitem") {
        return FirstMenuItem(main);
    }
    if (query == L"menubar") {
        return FirstMenuBarItem(main);
    }
    return Missing("such query");
}
