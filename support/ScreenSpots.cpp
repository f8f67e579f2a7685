#include "support/ScreenSpots.h"

namespace {

// Wine's notification-area window on a display without a panel of its own: Wine 8 makes a window
// of its own with this title; Wine 10 shows the shell's tray window, untitled, instead.
constexpr wchar_t kTrayTitle[] = L"Wine System Tray";
constexpr wchar_t kShellTrayClass[] = L"Shell_TrayWnd";
// A window that does not answer a hit test within this time has no spot to give.
constexpr UINT kAnswerMs = 3000;

LRESULT HitTest(HWND window, int x, int y) {
    DWORD_PTR hit = HTNOWHERE;
    SendMessageTimeoutW(window, WM_NCHITTEST, 0, MAKELPARAM(x, y), SMTO_ABORTIFHUNG, kAnswerMs, &hit);
    return static_cast<LRESULT>(hit);
}

}  // namespace

DWORD CScreenSpots::ProcessOf(HWND window) {
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    return process;
}

POINT CScreenSpots::Center(const RECT& rect) {
    return {(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
}

POINT CScreenSpots::ControlCenter(HWND dialog, int id) {
    const HWND control = GetDlgItem(dialog, id);
    RECT rect = {};
    if (control == nullptr || !GetWindowRect(control, &rect)) {
        return kNowhere;
    }
    return Center(rect);
}

// The caption's buttons are drawn by the window itself: ask it where its minimise box is.
POINT CScreenSpots::MinimiseBox(HWND main) {
    RECT frame = {};
    GetWindowRect(main, &frame);
    const int y = frame.top + GetSystemMetrics(SM_CYFIXEDFRAME) + GetSystemMetrics(SM_CYCAPTION) / 2;
    for (int x = frame.right - 1; x > frame.left; --x) {
        if (HitTest(main, x, y) == HTMINBUTTON) {
            return {x - GetSystemMetrics(SM_CXSIZE) / 3, y};
        }
    }
    return kNowhere;
}

// Menus of another process cannot be read: the window says where its menu bar is, and the first
// item starts at its left end.
POINT CScreenSpots::MenuBarItem(HWND main) {
    RECT frame = {};
    GetWindowRect(main, &frame);
    const int x = frame.left + GetSystemMetrics(SM_CXFIXEDFRAME) + GetSystemMetrics(SM_CXMENUSIZE) / 2;
    for (int y = frame.top; y < frame.bottom; ++y) {
        if (HitTest(main, x, y) == HTMENU) {
            return {x, y + GetSystemMetrics(SM_CYMENU) / 2};
        }
    }
    return kNowhere;
}

HWND CScreenSpots::TrayWindow() {
    HWND tray = FindWindowW(nullptr, kTrayTitle);
    if (tray == nullptr || !IsWindowVisible(tray)) {
        // Under Wine 8 this is the hidden task bar; only a shown one holds the icons.
        tray = FindWindowW(kShellTrayClass, nullptr);
    }
    return tray != nullptr && IsWindowVisible(tray) ? tray : nullptr;
}

// Icons are laid out from the left, each in a square as high as the area.
POINT CScreenSpots::FirstTrayIcon(HWND tray) {
    RECT client = {};
    GetClientRect(tray, &client);
    POINT origin = {0, 0};
    ClientToScreen(tray, &origin);
    const int side = client.bottom - client.top;
    return {origin.x + side / 2, origin.y + side / 2};
}
