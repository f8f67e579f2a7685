// Chooses an item of the popup menu that this thread is tracking, with the keys a user would
// press, from a timer that fires inside the menu's own loop. Gives up after a bounded number of
// ticks, closing any menu it finds, so a test never waits for a user.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

class MenuDriver {
public:
    // Chooses item `index` (arrow down index + 1 times from no selection, then Enter); -1 presses
    // Esc instead.
    explicit MenuDriver(int index) {
        s_index = index;
        s_items.clear();
        s_ticks = 0;
        s_foreground = nullptr;
        m_timer = SetTimer(nullptr, 0, 50, &Tick);
    }
    ~MenuDriver() { KillTimer(nullptr, m_timer); }
    MenuDriver(const MenuDriver&) = delete;
    MenuDriver& operator=(const MenuDriver&) = delete;

    // The texts of the menu that was answered, empty when none was seen.
    static const std::vector<std::wstring>& Items() { return s_items; }
    // The foreground window while the menu was open.
    static HWND Foreground() { return s_foreground; }

private:
    static constexpr int kMaxTicks = 100;

    static BOOL CALLBACK FindMenuWindow(HWND window, LPARAM param) {
        wchar_t className[16] = {};
        GetClassNameW(window, className, 16);
        if (lstrcmpW(className, L"#32768") == 0 && IsWindowVisible(window)) {
            *reinterpret_cast<HWND*>(param) = window;
            return FALSE;
        }
        return TRUE;
    }

    static void CALLBACK Tick(HWND, UINT, UINT_PTR timer, DWORD) {
        HWND menuWindow = nullptr;
        EnumThreadWindows(GetCurrentThreadId(), FindMenuWindow, reinterpret_cast<LPARAM>(&menuWindow));
        if (menuWindow == nullptr && ++s_ticks < kMaxTicks) {
            return;
        }
        KillTimer(nullptr, timer);
        if (menuWindow == nullptr) {
            return;
        }
        s_foreground = GetForegroundWindow();
        auto menu = reinterpret_cast<HMENU>(SendMessageW(menuWindow, MN_GETHMENU, 0, 0));
        for (int i = 0; i < GetMenuItemCount(menu); ++i) {
            wchar_t text[64] = {};
            GetMenuStringW(menu, static_cast<UINT>(i), text, 64, MF_BYPOSITION);
            s_items.push_back(text);
        }
        if (s_index < 0) {
            PostMessageW(menuWindow, WM_KEYDOWN, VK_ESCAPE, 0);
            return;
        }
        for (int i = 0; i <= s_index; ++i) {
            PostMessageW(menuWindow, WM_KEYDOWN, VK_DOWN, 0);
        }
        PostMessageW(menuWindow, WM_KEYDOWN, VK_RETURN, 0);
    }

    static inline int s_index = 0;
    static inline int s_ticks = 0;
    static inline std::vector<std::wstring> s_items;
    static inline HWND s_foreground = nullptr;
    UINT_PTR m_timer = 0;
};
