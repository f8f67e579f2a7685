// The hidden window the benchmarks make their pages in, with the common controls registered
// first as the program does at start. The window goes with the object, on every way out.
#pragma once

#include <windows.h>
#include <commctrl.h>

namespace bench {

class CPageHost {
public:
    explicit CPageHost(const wchar_t* name) {
        INITCOMMONCONTROLSEX controls = {sizeof(controls), ICC_WIN95_CLASSES};
        InitCommonControlsEx(&controls);
        m_window = CreateWindowExW(0, L"STATIC", name, WS_POPUP, 0, 0, 500, 700, nullptr, nullptr,
                                   GetModuleHandleW(nullptr), nullptr);
    }
    ~CPageHost() {
        if (m_window != nullptr) {
            DestroyWindow(m_window);
        }
    }
    CPageHost(const CPageHost&) = delete;
    CPageHost& operator=(const CPageHost&) = delete;

    HWND Get() const { return m_window; }

private:
    HWND m_window = nullptr;
};

}  // namespace bench
