// Drives what a user would answer on this thread: dialogs and boxes one after another with the
// steps of a script (anything beyond it is cancelled), and popup menus with the keys a user presses.
#pragma once

#include "res/resource.h"
#include "tests/common/DialogAutoResponder.h"

#include <functional>
#include <string>
#include <utility>
#include <vector>

// A step gets the dialog to answer and the first dialog of the script (the one behind the boxes).
using Step = std::function<void(HWND dialog, HWND first)>;

inline Step Press(int button) {
    return [button](HWND dialog, HWND) {
        DialogAutoResponder::PressButton(dialog, button);
    };
}
// Types into the password field and presses `button`.
inline Step Enter(std::wstring text, int button = IDOK) {
    return [text, button](HWND dialog, HWND) {
        SetDlgItemTextW(dialog, IDC_PASSWORD_EDIT, text.c_str());
        DialogAutoResponder::PressButton(dialog, button);
    };
}
// Dismisses a box, then types into the first dialog again; the box's loop ends on its own command
// before the dialog's command is taken from the queue.
inline Step RetryWith(std::wstring text) {
    return [text](HWND box, HWND first) {
        DialogAutoResponder::PressButton(box, IDOK);
        Enter(text)(first, first);
    };
}

class ScriptedAnswers : public DialogAutoResponder {
public:
    explicit ScriptedAnswers(std::vector<Step> steps)
        : DialogAutoResponder([this](HWND dialog) { Answer(dialog); }), m_steps(std::move(steps)) {}
    size_t StepsLeft() const { return m_steps.size() - m_next; }
    // Keeps a window out of the answers (the main window, activated again whenever a box closes).
    static void Ignore(HWND window) { SetPropW(window, L"autoresponder.seen", reinterpret_cast<HANDLE>(1)); }

private:
    void Answer(HWND dialog) {
        m_first = m_first != nullptr ? m_first : dialog;
        if (m_next < m_steps.size()) {
            m_steps[m_next++](dialog, m_first);
        } else {
            PressButton(dialog, IDCANCEL);
        }
    }
    std::vector<Step> m_steps;
    size_t m_next = 0;
    HWND m_first = nullptr;
};

// From a timer that fires inside the menu's own loop: reads the menu, then chooses item `index`
// (arrow down index + 1 times, Enter) or, for -1, presses Esc. Bounded: gives up after 5 s.
class MenuDriver {
public:
    explicit MenuDriver(int index) {
        s_index = index;
        s_ticks = 0;
        s_items.clear();
        s_foreground = nullptr;
        m_timer = SetTimer(nullptr, 0, 50, &Tick);
    }
    ~MenuDriver() { KillTimer(nullptr, m_timer); }
    static const std::vector<std::wstring>& Items() { return s_items; }
    static HWND Foreground() { return s_foreground; }  // while the menu was open

private:
    static void CALLBACK Tick(HWND, UINT, UINT_PTR timer, DWORD) {
        HWND menuWindow = FindWindowW(L"#32768", nullptr);
        if ((menuWindow == nullptr || !IsWindowVisible(menuWindow)) && ++s_ticks < 100) {
            return;
        }
        KillTimer(nullptr, timer);
        s_foreground = GetForegroundWindow();
        auto menu = reinterpret_cast<HMENU>(SendMessageW(menuWindow, MN_GETHMENU, 0, 0));
        for (int i = 0; i < GetMenuItemCount(menu); ++i) {
            wchar_t text[64] = {};
            GetMenuStringW(menu, static_cast<UINT>(i), text, 64, MF_BYPOSITION);
            s_items.push_back(text);
        }
        for (int i = 0; i <= s_index; ++i) {
            PostMessageW(menuWindow, WM_KEYDOWN, VK_DOWN, 0);
        }
        PostMessageW(menuWindow, WM_KEYDOWN, s_index < 0 ? VK_ESCAPE : VK_RETURN, 0);
    }
    static inline int s_index = 0;
    static inline int s_ticks = 0;
    static inline std::vector<std::wstring> s_items;
    static inline HWND s_foreground = nullptr;
    UINT_PTR m_timer = 0;
};
