// Answers the modal boxes and dialogs that the code under test opens on this thread: a
// thread-local CBT hook sees each dialog when it is activated and hands it to a callback, which
// typically fills controls and presses a button.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <utility>
#include <vector>

class DialogAutoResponder {
public:
    using Handler = std::function<void(HWND dialog)>;

    explicit DialogAutoResponder(Handler handler) : m_handler(std::move(handler)) {
        s_active = this;
        m_hook = SetWindowsHookExW(WH_CBT, &CbtProc, nullptr, GetCurrentThreadId());
    }
    ~DialogAutoResponder() {
        if (m_hook != nullptr) {
            UnhookWindowsHookEx(m_hook);
        }
        s_active = nullptr;
    }
    DialogAutoResponder(const DialogAutoResponder&) = delete;
    DialogAutoResponder& operator=(const DialogAutoResponder&) = delete;

    const std::vector<std::wstring>& Captions() const { return m_captions; }
    const std::vector<std::wstring>& Texts() const { return m_texts; }

    static std::wstring Text(HWND hwnd) {
        wchar_t buffer[512] = {};
        GetWindowTextW(hwnd, buffer, 512);
        return buffer;
    }
    // Clicks a dialog button the way a user would: the command arrives through the queue.
    static void PressButton(HWND dialog, int id) {
        PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                     reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
    }

private:
    static BOOL CALLBACK CollectStaticText(HWND child, LPARAM param) {
        wchar_t className[32] = {};
        GetClassNameW(child, className, 32);
        if (lstrcmpiW(className, L"Static") == 0) {
            std::wstring text = Text(child);
            if (!text.empty()) {
                reinterpret_cast<std::vector<std::wstring>*>(param)->push_back(text);
            }
        }
        return TRUE;
    }

    static LRESULT CALLBACK CbtProc(int code, WPARAM wParam, LPARAM lParam) {
        if (code == HCBT_ACTIVATE && s_active != nullptr) {
            HWND hwnd = reinterpret_cast<HWND>(wParam);
            wchar_t className[32] = {};
            GetClassNameW(hwnd, className, 32);
            if (lstrcmpW(className, L"#32770") == 0 && GetPropW(hwnd, L"autoresponder.seen") == nullptr) {
                SetPropW(hwnd, L"autoresponder.seen", reinterpret_cast<HANDLE>(1));
                s_active->m_captions.push_back(Text(hwnd));
                EnumChildWindows(hwnd, CollectStaticText, reinterpret_cast<LPARAM>(&s_active->m_texts));
                s_active->m_handler(hwnd);
            }
        }
        return CallNextHookEx(nullptr, code, wParam, lParam);
    }

    static inline thread_local DialogAutoResponder* s_active = nullptr;
    HHOOK m_hook = nullptr;
    Handler m_handler;
    std::vector<std::wstring> m_captions;
    std::vector<std::wstring> m_texts;
};
