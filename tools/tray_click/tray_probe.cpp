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
#include "support/ScreenSpots.h"

#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cwchar>
#include <string>
#include <string_view>

namespace {

constexpr wchar_t kMainTitle[] = L"Nivvo桌面管理";
constexpr wchar_t kMenuClass[] = L"#32768";

HWND MainWindow() { return FindWindowW(L"#32770", kMainTitle); }

struct MenuSearch {
    DWORD process;
    HWND found;
};

BOOL CALLBACK FindMenuOfProcess(HWND window, LPARAM param) {
    auto* search = reinterpret_cast<MenuSearch*>(param);
    wchar_t className[16] = {};
    GetClassNameW(window, className, 16);
    if (std::wcscmp(className, kMenuClass) == 0 && IsWindowVisible(window) &&
        CScreenSpots::ProcessOf(window) == search->process) {
        search->found = window;
        return FALSE;
    }
    return TRUE;
}

HWND OpenMenu(HWND main) {
    MenuSearch search = {CScreenSpots::ProcessOf(main), nullptr};
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
    const char* owner = foreground == nullptr                                                  ? "none"
                        : CScreenSpots::ProcessOf(foreground) == CScreenSpots::ProcessOf(main) ? "ours"
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

int PrintSpot(POINT spot, const char* what) { return spot.x < 0 ? Missing(what) : Print(spot.x, spot.y); }

int FirstTrayIcon() {
    const HWND tray = CScreenSpots::TrayWindow();
    if (tray == nullptr) {
        return Missing("notification area");
    }
    // Raised through the window manager of the runtime rather than the X server's, so that both
    // agree on the order and the click lands on the icon; no activation, the foreground stays put.
    SetWindowPos(tray, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    return PrintSpot(CScreenSpots::FirstTrayIcon(tray), "notification area");
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

int ControlOfDialog(const wchar_t* title, const wchar_t* id) {
    const HWND dialog = FindWindowW(L"#32770", title);
    return PrintSpot(
        dialog != nullptr ? CScreenSpots::ControlCenter(dialog, _wtoi(id)) : CScreenSpots::kNowhere,
        "such control");
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
        return PrintSpot(CScreenSpots::MinimiseBox(main), "minimise box");
    }
    if (query == L"menuitem") {
        return FirstMenuItem(main);
    }
    if (query == L"menubar") {
        return PrintSpot(CScreenSpots::MenuBarItem(main), "menu bar");
    }
    return Missing("such query");
}
