#include "bench/user_soak/SoakScreen.h"

#include "res/resource.h"
#include "support/ScreenSpots.h"

#include <commctrl.h>

#include <algorithm>

namespace {

constexpr DWORD kPollMs = 10;
constexpr DWORD kForegroundMs = 2000;
constexpr DWORD kTrayMoveMs = 1000;

}  // namespace

bool CSoakScreen::WaitFor(const std::function<bool()>& condition, DWORD timeoutMs) {
    for (const DWORD start = GetTickCount(); !condition(); Sleep(kPollMs)) {
        if (GetTickCount() - start >= timeoutMs) {
            return false;
        }
    }
    return true;
}

bool CSoakScreen::AwaitForeground(HWND window) {
    return WaitFor([window] { return GetForegroundWindow() == window; }, kForegroundMs);
}

// Input and notifications reach a thread as queued messages, handled in turn: once it has answered
// `times` sent messages more, it has taken what was queued before them (a message that opens a
// modal loop is taken too, and the loop answers the rest).
void CSoakScreen::Sync(HWND window, int times) {
    for (int i = 0; i < times && window != nullptr; ++i) {
        DWORD_PTR answer = 0;
        SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 3000, &answer);
    }
}

// Keys go to the window that has the focus when they are sent, so a click meant to give the
// focus must have been handled first: the control's thread says when it has the focus, in the
// foreground window.
bool CSoakScreen::HasFocus(HWND control) {
    GUITHREADINFO info = {};
    info.cbSize = sizeof(info);
    return GetGUIThreadInfo(GetWindowThreadProcessId(control, nullptr), &info) && info.hwndFocus == control &&
           GetForegroundWindow() == GetAncestor(control, GA_ROOT);
}

std::wstring CSoakScreen::EditText(HWND edit) {
    std::wstring text(32768, L'\0');
    DWORD_PTR length = 0;
    if (!SendMessageTimeoutW(edit, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()),
                             SMTO_ABORTIFHUNG, 3000, &length)) {
        return L"<no answer>";
    }
    text.resize(std::min<size_t>(length, text.size()));
    return text;
}

int CSoakScreen::SelectedTab(HWND tab) {
    DWORD_PTR selected = static_cast<DWORD_PTR>(-1);
    SendMessageTimeoutW(tab, TCM_GETCURSEL, 0, 0, SMTO_ABORTIFHUNG, 3000, &selected);
    return static_cast<int>(selected);
}

std::wstring CSoakScreen::ForegroundText(DWORD ours) {
    const HWND foreground = GetForegroundWindow();
    if (foreground == nullptr) {
        return L"no foreground window";
    }
    wchar_t title[64] = {};
    wchar_t className[32] = {};
    GetWindowTextW(foreground, title, 64);
    GetClassNameW(foreground, className, 32);
    return std::wstring(L"foreground: ") +
           (CScreenSpots::ProcessOf(foreground) == ours ? L"ours" : L"another program's") + L" " + className +
           L" \"" + title + L"\"" + (IsWindowVisible(foreground) ? L"" : L" (hidden)");
}

std::wstring CSoakScreen::ShownClasses(const CSoakWindows& windows) {
    std::wstring classes;
    for (const HWND window : windows.all) {
        wchar_t className[32] = {};
        GetClassNameW(window, className, 32);
        if (IsWindowVisible(window)) {
            classes += std::wstring(L" ") + className;
        }
    }
    return classes;
}

// An empty spot of the main window, right of the Start button.
POINT CSoakScreen::Background(HWND main) {
    RECT start = {};
    GetWindowRect(GetDlgItem(main, IDC_START_BUTTON), &start);
    return {start.right + 40, (start.top + start.bottom) / 2};
}

// Wine's notification area comes up at the screen's top left corner, over our window's menu bar: it
// is moved to the bottom left corner, out of the way of every window and menu of ours, and raised
// before its icon is clicked.
// The area belongs to the shell's process: the move is posted to it, never waited on (a shell that
// is busy would hold the soak), and the soak waits a bounded while to see the area in place.
void CSoakScreen::PlaceTray(HWND tray, HWND insertAfter) {
    RECT frame = {};
    GetWindowRect(tray, &frame);
    const int top = GetSystemMetrics(SM_CYSCREEN) - (frame.bottom - frame.top);
    SetWindowPos(tray, insertAfter, 0, top, 0, 0, SWP_NOSIZE | SWP_NOACTIVATE | SWP_ASYNCWINDOWPOS);
    WaitFor(
        [tray, top] {
            RECT now = {};
            return GetWindowRect(tray, &now) && now.left == 0 && now.top == top;
        },
        kTrayMoveMs);
}

POINT CSoakScreen::MenuItem(HWND menu, int index, int count) {
    RECT client = {};
    GetClientRect(menu, &client);
    constexpr int kTopMargin = 3;
    constexpr int kBottomMargin = 2;
    const int height = client.bottom - kTopMargin - kBottomMargin;
    POINT point = {client.right / 2, kTopMargin + (height * (2 * index + 1)) / (2 * count)};
    ClientToScreen(menu, &point);
    return point;
}

POINT CSoakScreen::Away() { return {GetSystemMetrics(SM_CXSCREEN) - 12, GetSystemMetrics(SM_CYSCREEN) - 12}; }
